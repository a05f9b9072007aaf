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
  const std::string load4 = "エラーが発生しました: ナンバーズ4データの読み込みに失敗しました。\n";
  // Twenty draws up from round 1, line 2 holding `first` and the others `rest`.
  const auto numbers = [&dir](const std::string& name, const std::string& first,
                              const std::string& rest) {
    std::vector<std::string> lines = {"h", "第1回,2020/1/2,X," + first};
    for (int round = 2; round <= 20; ++round) {
      lines.push_back("第" + std::to_string(round) + "回,2020/1/2,X," + rest);
    }
    return WriteHistoryFile(dir, lines, name);
  };
  const std::string four = numbers("four.csv", "1234", "0572");
  const std::string typo = numbers("typo.csv", "572", "572");
  WriteBytes(typo, ReadBytes(typo) + Utf8ToCp932("第21回,2020/1/2,X,2304\n"));
  const std::string five = numbers("five.csv", "12345", "0572");
  const std::string three = numbers("three.csv", "572", "572");
  const std::string warning =
      ":3: the rounds stop going up at this line; the draws are analysed in file order, oldest "
      "first expected\n";
  struct Case {
    std::string argument;
    std::string stdinPath;  // for "-"
    TextEncoding encoding;
    bool loaded;
    std::string err;
    Game game = Game::kNumbers3;
    std::uint32_t draws = 20;
  };
  const std::vector<Case> cases = {
      {utf8, "", TextEncoding::kUtf8, true, "tolvane-cli: warning: " + utf8 + warning},
      {"-", utf8, TextEncoding::kUtf8, true, "tolvane-cli: warning: (standard input)" + warning},
      {utf8, "", TextEncoding::kCp932, false,
       load + "tolvane-cli: " + utf8 +
           ":2: bytes that are not code page 932; the file looks like UTF-8: try --encoding "
           "utf-8\n"},
      // A Numbers 3 winning number longer than three digits is read by its first three.
      {typo, "", TextEncoding::kCp932, true,
       "tolvane-cli: warning: " + typo +
           ":22: winning number \"2304\" is longer than three digits; its first three are used\n",
       Game::kNumbers3, 21},
      {four, "", TextEncoding::kCp932, true,
       "tolvane-cli: warning: " + four +
           ": every winning number has four digits; this looks like a Numbers 4 history: try "
           "--game numbers4\n"},
      {four, "", TextEncoding::kCp932, true, "", Game::kNumbers4},
      // The reverse mistake: a Numbers 3 history read as Numbers 4.
      {three, "", TextEncoding::kCp932, true,
       "tolvane-cli: warning: " + three +
           ": every winning number has three digits; this looks like a Numbers 3 history: try "
           "--game numbers3\n",
       Game::kNumbers4},
      {numbers("mixed.csv", "572", "0572"), "", TextEncoding::kCp932, true, "", Game::kNumbers4},
      {five, "", TextEncoding::kCp932, false,
       load4 + "tolvane-cli: " + five + ":2: winning number \"12345\" is not four digits\n",
       Game::kNumbers4},
  };
  for (const Case& c : cases) {
    OwnedHistory history;
    LoadReport report;
    testing::internal::CaptureStderr();
    bool loaded = false;
    if (c.stdinPath.empty()) {
      loaded = cli::LoadHistoryArgument(c.argument, history, report, c.encoding, c.game);
    } else {
      const StdinFrom input(c.stdinPath);
      loaded = cli::LoadHistoryArgument(c.argument, history, report, c.encoding);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.err) << c.argument;
    EXPECT_EQ(loaded, c.loaded) << c.argument;
    EXPECT_EQ(history.get().ones.size, c.loaded ? c.draws : 0U) << c.argument;
    EXPECT_EQ(history.get().thousands.size, c.loaded && c.game == Game::kNumbers4 ? c.draws : 0U);
  }
}

}  // namespace
}  // namespace tolvane::test
