// The hint a failed code page 932 load gets when the file is UTF-8.
#include "history/utf8_hint.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/history_file.h"
#include "tests/support/temp_dir.h"

namespace tolvane::test {
namespace {

TEST(Utf8Hint, OnlyAFailedCodePage932LineOfAUtf8FileGetsIt) {
  TempDir dir;
  const std::string japanese = "回別\n第1回,2018/6/12,火,123\n";
  const std::string utf8 = dir.File("utf8.csv");
  WriteBytes(utf8, japanese);
  const std::string ascii = dir.File("ascii.csv");
  WriteBytes(ascii, "header\nround 1,2018/6/12,X,123\n");
  const std::string cp932 = WriteHistoryFile(dir, {"回別", "第1回,2018/6/12,火,123"}, "cp932.csv");
  const std::string brokenLater = dir.File("broken-later.csv");
  WriteBytes(brokenLater, japanese + "\xE7\xAC\n");
  struct Case {
    std::string path;
    TextEncoding encoding;
    std::uint64_t line;  // of the failure; 0: the file as a whole
    bool hinted;
  };
  const std::vector<Case> cases = {
      {utf8, TextEncoding::kCp932, 2, true},
      {utf8, TextEncoding::kCp932, 0, false},         // no line to blame the encoding for
      {utf8, TextEncoding::kUtf8, 2, false},          // already read as UTF-8
      {ascii, TextEncoding::kCp932, 2, false},        // both encodings read it alike
      {cp932, TextEncoding::kCp932, 2, false},        // not UTF-8
      {brokenLater, TextEncoding::kCp932, 2, false},  // not UTF-8 as a whole
      {dir.path().string(), TextEncoding::kCp932, 2, false},
      {dir.File("missing.csv"), TextEncoding::kCp932, 2, false},
      {"/dev/null", TextEncoding::kCp932, 2, false},
  };
  for (const Case& c : cases) {
    LoadReport report;
    report.line = c.line;
    report.reason = "why";
    AddUtf8Hint(c.path, LoadOptions{c.encoding}, report);
    EXPECT_EQ(report.reason, c.hinted ? "why" + std::string(kUtf8HintText) : "why") << c.path;
  }
}

}  // namespace
}  // namespace tolvane::test
