#include "tests/support/history_file.h"

#include <iconv.h>

#include <stdexcept>

namespace tolvane::test_support {

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

std::string WriteHistoryFile(const TempDir& dir, const std::vector<std::string>& utf8Lines,
                             std::string_view lineEnd, std::string_view name) {
  std::string bytes;
  for (const std::string& line : utf8Lines) {
    bytes += Utf8ToCp932(line);
    bytes += lineEnd;
  }
  std::string path = dir.File(name);
  WriteBytes(path, bytes);
  return path;
}

}  // namespace tolvane::test_support
