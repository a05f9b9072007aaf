// Runs the real tolvane-cli as a process and checks what a caller sees: stdout, stderr, the exit
// status and the log file.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "predict/narrow_texts.h"
#include "tests/support/history_file.h"
#include "tests/support/result_text.h"

extern char** environ;

namespace tolvane::test {
namespace {

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the tool with its output in files of dir; stdoutPath replaces the output file if given.
Outcome RunCli(const TempDir& dir, const std::vector<std::string>& args,
               const std::string& stdoutPath = "") {
  const std::string outPath = stdoutPath.empty() ? dir.File("stdout") : stdoutPath;
  const std::string errPath = dir.File("stderr");
  std::vector<std::string> argv = {TOLVANE_CLI_PATH};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> pointers;
  pointers.reserve(argv.size() + 1);
  for (std::string& arg : argv) {
    pointers.push_back(arg.data());
  }
  pointers.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  pid_t pid = 0;
  Outcome outcome;
  if (posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, pointers.data(), environ) == 0) {
    int wait = 0;
    if (waitpid(pid, &wait, 0) == pid && WIFEXITED(wait)) {
      outcome.status = WEXITSTATUS(wait);
    }
  }
  posix_spawn_file_actions_destroy(&actions);
  if (stdoutPath.empty()) {
    outcome.out = ReadBytes(outPath);
  }
  outcome.err = ReadBytes(errPath);
  return outcome;
}

TEST(Cli, PrintsTheResultTextOnSuccess) {
  TempDir dir;
  const std::string history = WriteHistoryFile(dir, RepeatedDrawLines("572", 61));
  const std::vector<std::vector<std::string>> runs = {
      {"predict", history, "--round", "6501", "--filter", "none"},
      {"predict", history, "--round", "6501"},
      {"predict", "--filter", "bpf", "--frame", "headtail", history, "--round=6501"},
  };
  for (const auto& args : runs) {
    const Outcome outcome = RunCli(dir, args);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out, RepeatedDrawResult("6501", "572") + "\n");
    EXPECT_EQ(outcome.err, "");
  }
  EXPECT_EQ(RunCli(dir, {"predict", history, "--round", " -7x"}).out,
            RepeatedDrawResult("-7", "572") + "\n");
}

TEST(Cli, ErrorBoxesGoToStderrWithStatusOne) {
  TempDir dir;
  std::vector<std::string> blankLineAtEnd = RepeatedDrawLines("572", 20);
  blankLineAtEnd.emplace_back();
  const std::string bad = WriteHistoryFile(dir, blankLineAtEnd, "bad.csv");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", "ファイルパスが入力されていません。\n"},
      {dir.File("missing.csv"), "有効なファイルパスを入力してください。\n"},
      {bad, "エラーが発生しました: ナンバーズ3データの読み込みに失敗しました。\n"},
      {dir.path().string(), "エラーが発生しました: ナンバーズ3データの読み込みに失敗しました。\n"},
  };
  for (const auto& [path, message] : cases) {
    const Outcome outcome = RunCli(dir, {"predict", path});
    EXPECT_EQ(outcome.status, 1) << path;
    EXPECT_EQ(outcome.out, "") << path;
    EXPECT_EQ(outcome.err, message) << path;
  }
}

TEST(Cli, UsageErrorsExitWithStatusTwo) {
  TempDir dir;
  const std::vector<std::vector<std::string>> runs = {
      {},
      {"predict"},
      {"guess", "x"},
      {"predict", "x", "--filter", "lowpass"},
      {"predict", "x", "--filter", "2"},
      {"predict", "x", "--frame", "7"},
      {"predict", "x", "--bogus"},
      {"predict", "x", "--round"},
  };
  for (const auto& args : runs) {
    const Outcome outcome = RunCli(dir, args);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.out, "");
    EXPECT_NE(outcome.err.find("Usage: "), std::string::npos) << outcome.err;
  }
}

TEST(Cli, HelpGoesToStdout) {
  TempDir dir;
  for (const auto& args : std::vector<std::vector<std::string>>{{"--help"}, {"predict", "-h"}}) {
    const Outcome outcome = RunCli(dir, args);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_NE(outcome.out.find("Usage: tolvane-cli"), std::string::npos) << outcome.out;
    EXPECT_EQ(outcome.err, "");
  }
  EXPECT_NE(RunCli(dir, {"predict", "--help"}).out.find("--filter"), std::string::npos);
}

TEST(Cli, LogOptionAppendsTheTrace) {
  TempDir dir;
  const std::string history = WriteHistoryFile(dir, RepeatedDrawLines("572", 32));
  const std::string log = dir.File("trace.log");
  for (int run = 0; run < 2; ++run) {
    EXPECT_EQ(RunCli(dir, {"predict", history, "--filter", "bpf", "--frame", "tail", "--log", log})
                  .status,
              0);
  }
  int loaderLines = 0;
  int engineLines = 0;
  std::vector<std::string> calls;
  for (const std::string& line : ReadLines(log)) {
    loaderLines += line.starts_with("Processing line: ") ? 1 : 0;
    engineLines += line == "fftFlag: 1, iFType: 1" ? 1 : 0;
    if (line.starts_with("PredictDigit called for ")) {
      calls.push_back(line.substr(24));
    }
  }
  EXPECT_EQ(loaderLines, 64);
  EXPECT_EQ(engineLines, 60);
  const std::string h(kPlaceHundreds), t(kPlaceTens), o(kPlaceOnes);
  EXPECT_EQ(calls, (std::vector<std::string>{h, t, o, h, t, o}));
}

// A result that cannot be delivered must not be reported as a success.
TEST(Cli, FailedOutputIsNoSuccess) {
  TempDir dir;
  const std::string history = WriteHistoryFile(dir, RepeatedDrawLines("572", 30));
  const Outcome outcome = RunCli(dir, {"predict", history}, "/dev/full");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err, "");
}

}  // namespace
}  // namespace tolvane::test
