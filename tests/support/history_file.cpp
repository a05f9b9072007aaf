#include "tests/support/history_file.h"

#include <iconv.h>

#include <stdexcept>

namespace tolvane::test {

std::string Utf8ToCp932(std::string_view utf8) {
  const iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) {  // NOLINT(performance-no-int-to-ptr)
    throw std::runtime_error("this system has no CP932 converter");
  }
  // Code page 932 never needs more bytes than UTF-8 for the same text; twice is ample.
  std::string out(utf8.size() * 2, '\0');
  char* in = const_cast<char*>(utf8.data());
  std::size_t inLeft = utf8.size();
  char* outPtr = out.data();
  std::size_t outLeft = out.size();
  const std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (rc == static_cast<std::size_t>(-1)) {
    throw std::runtime_error("no code page 932 form for: " + std::string(utf8));
  }
  out.resize(out.size() - outLeft);
  return out;
}

std::vector<std::string> RepeatedDrawLines(const std::string& number, std::size_t count) {
  std::vector<std::string> lines = {"round,date,weekday,number"};
  for (std::size_t round = 1; round <= count; ++round) {
    lines.push_back("第" + std::to_string(round) + "回,2020/1/2,X," + number);
  }
  return lines;
}

std::string WriteHistoryFile(const TempDir& dir, const std::vector<std::string>& utf8Lines,
                             std::string_view name) {
  std::string bytes;
  for (const std::string& line : utf8Lines) {
    bytes += Utf8ToCp932(line);
    bytes += '\n';
  }
  std::string path = dir.File(name);
  WriteBytes(path, bytes);
  return path;
}

}  // namespace tolvane::test
