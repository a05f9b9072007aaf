#include "tests/support/history_file.h"

#include <optional>
#include <random>
#include <stdexcept>

#include "core/cp932.h"

namespace tolvane::test {

std::string Utf8ToCp932(std::string_view utf8) {
  std::optional<std::string> bytes = tolvane::Utf8ToCp932(utf8);
  if (!bytes) {
    throw std::runtime_error("no code page 932 form for: " + std::string(utf8));
  }
  return *std::move(bytes);
}

std::vector<std::string> RepeatedDrawLines(const std::string& number, std::size_t count) {
  std::vector<std::string> lines = {"round,date,weekday,number"};
  for (std::size_t round = 1; round <= count; ++round) {
    lines.push_back("第" + std::to_string(round) + "回,2020/1/2,X," + number);
  }
  return lines;
}

std::vector<std::string> RandomDrawLines(std::size_t count, unsigned seed) {
  // The generator's own numbers, not a distribution's, so no library's choices change them.
  std::minstd_rand random(seed);
  std::vector<std::string> lines = {"round,date,weekday,number"};
  for (std::size_t round = 1; round <= count; ++round) {
    lines.push_back("第" + std::to_string(round) + "回,2020/1/2,X," +
                    std::to_string(random() % 1000));
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
