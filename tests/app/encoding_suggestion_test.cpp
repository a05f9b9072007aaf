#include "app/encoding_suggestion.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/support/history_file.h"
#include "tests/support/temp_dir.h"

namespace tolvane::test {
namespace {

TEST(EncodingSuggestion, TheOtherEncodingOnlyWhenItReadsTheWholeFile) {
  const TempDir dir;
  const std::string utf8 = dir.File("utf8.csv");
  WriteBytes(utf8, "回別\n第1回,2018/6/12,火,123\n");
  const std::string ascii = dir.File("ascii.csv");
  WriteBytes(ascii, "header\nround 1,2018/6/12,X,123\n");
  const std::string cp932 = WriteHistoryFile(dir, {"回別", "第1回,2018/6/12,火,123"}, "cp932.csv");
  // Valid UTF-8 whose bytes are half-width katakana in code page 932: it reads in both.
  const std::string accented = dir.File("accented.csv");
  WriteBytes(accented, "caf\xC3\xA9\nround 1,2018/6/12,X,1x3\n");
  constexpr auto kCp932 = TextEncoding::kCp932;
  constexpr auto kUtf8 = TextEncoding::kUtf8;
  struct Case {
    std::string path;
    TextEncoding tried;
    std::uint64_t line;  // of the failure; 0: the file as a whole
    std::optional<TextEncoding> suggested;
  };
  const std::vector<Case> cases = {
      {utf8, kCp932, 2, kUtf8},
      {cp932, kUtf8, 2, kCp932},
      {cp932, kUtf8, 0, std::nullopt},     // no line to blame the encoding for
      {utf8, kUtf8, 2, std::nullopt},      // UTF-8 already, and valid: no Shift_JIS
      {accented, kUtf8, 2, std::nullopt},  // the same, though code page 932 reads it too
      {cp932, kCp932, 2, std::nullopt},    // code page 932 already, and no UTF-8
      {ascii, kUtf8, 2, std::nullopt},     // both read it alike
      {dir.File("missing.csv"), kUtf8, 2, std::nullopt},
  };
  for (const Case& c : cases) {
    LoadReport report;
    report.line = c.line;
    EXPECT_EQ(SuggestedEncoding(c.path, c.tried, report), c.suggested) << c.path;
  }
}

}  // namespace
}  // namespace tolvane::test
