// The HISTORY loading every command shares, in process: encodings, standard input, the hint and
// the order warning on standard error.
#include "cli/history_argument.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/support/history_file.h"

namespace tolvane::test {
namespace {

// Standard input reads `path` for as long as the object lives.
class StdinFrom {
 public:
  explicit StdinFrom(const std::string& path)
      : saved_(::dup(STDIN_FILENO)), file_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    ::dup2(file_, STDIN_FILENO);
  }
  ~StdinFrom() {
    ::dup2(saved_, STDIN_FILENO);
    ::close(saved_);
    ::close(file_);
  }
  StdinFrom(const StdinFrom&) = delete;
  StdinFrom& operator=(const StdinFrom&) = delete;

 private:
  int saved_;
  int file_;
};

TEST(HistoryArgument, EncodingsStandardInputAndWarnings) {
  TempDir dir;
  std::string utf8Bytes = "回別,抽せん日,曜日,当せん番号\n";
  for (int round = 20; round >= 1; --round) {
    utf8Bytes += "第" + std::to_string(round) + "回,2020/1/2,X,572\n";
  }
  const std::string utf8 = dir.File("utf8.csv");
  WriteBytes(utf8, utf8Bytes);
  const std::string load = "エラーが発生しました: ナンバーズ3データの読み込みに失敗しました。\n";
  const std::string warning =
      ":3: the rounds stop going up at this line; the draws are analysed in file order, oldest "
      "first expected\n";
  struct Case {
    std::string argument;
    std::string stdinPath;  // for "-"
    TextEncoding encoding;
    bool loaded;
    std::string err;
  };
  const std::vector<Case> cases = {
      {utf8, "", TextEncoding::kUtf8, true, "tolvane-cli: warning: " + utf8 + warning},
      {"-", utf8, TextEncoding::kUtf8, true, "tolvane-cli: warning: (standard input)" + warning},
      {utf8, "", TextEncoding::kCp932, false,
       load + "tolvane-cli: " + utf8 +
           ":2: bytes that are not code page 932; the file looks like UTF-8: try --encoding "
           "utf-8\n"},
  };
  for (const Case& c : cases) {
    OwnedHistory history;
    LoadReport report;
    testing::internal::CaptureStderr();
    bool loaded = false;
    if (c.stdinPath.empty()) {
      loaded = cli::LoadHistoryArgument(c.argument, history, report, c.encoding);
    } else {
      const StdinFrom input(c.stdinPath);
      loaded = cli::LoadHistoryArgument(c.argument, history, report, c.encoding);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.err) << c.argument;
    EXPECT_EQ(loaded, c.loaded) << c.argument;
    EXPECT_EQ(history.get().ones.size, c.loaded ? 20U : 0U) << c.argument;
  }
}

}  // namespace
}  // namespace tolvane::test
