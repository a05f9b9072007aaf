// Runs the real tolvane-cli as a process and checks what a caller sees: stdout, stderr, the exit
// status and the log file.

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tests/cli/cli_runner.h"
#include "tests/support/history_file.h"
#include "tests/support/result_text.h"

namespace tolvane::test {
namespace {

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

// Every failure exits 1 with nothing on standard output: first the window's own text (if it has
// one), then one "tolvane-cli: " line that says what went wrong and where.
TEST(Cli, FailuresSayWhatWentWrongAndWhere) {
  TempDir dir;
  std::vector<std::string> blankLineAtEnd = RepeatedDrawLines("572", 20);
  blankLineAtEnd.emplace_back();
  const std::string blank = WriteHistoryFile(dir, blankLineAtEnd, "blank.csv");
  const auto withLine = [&dir](const std::string& name, const std::string& line) {
    return WriteHistoryFile(dir, {"回別,抽せん日,曜日,当せん番号", "第1回,2018/6/12,X,123", line},
                            name);
  };
  const std::string history = WriteHistoryFile(dir, RepeatedDrawLines("572", 30));
  const std::string fourteen = WriteHistoryFile(dir, RepeatedDrawLines("572", 14), "14.csv");
  const std::string headerOnly = WriteHistoryFile(dir, {"header"}, "header.csv");
  const std::string crOnly = dir.File("cr.csv");
  WriteBytes(crOnly, Utf8ToCp932("header\r第1回,2018/6/12,X,123\r第2回,2018/6/12,X,456\r"));
  const std::string undecodable = dir.File("bytes.csv");
  WriteBytes(undecodable, Utf8ToCp932("h\n第1回,2018/6/12,X,123\n") + "\x80\n");
  const std::string empty = dir.File("empty.csv");
  WriteBytes(empty, "");

  const std::string load = "エラーが発生しました: ナンバーズ3データの読み込みに失敗しました。\n";
  const std::string tool = "tolvane-cli: ";
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const std::vector<Case> cases = {
      {{"predict", ""}, "ファイルパスが入力されていません。\n"},
      {{"predict", dir.File("missing.csv")},
       "有効なファイルパスを入力してください。\n" + tool + dir.File("missing.csv") +
           ": No such file or directory\n"},
      {{"predict", dir.path().string()}, load + tool + dir.path().string() + ": is a directory\n"},
      {{"predict", empty}, load + tool + empty + ": is empty (no header line)\n"},
      {{"predict", blank}, load + tool + blank + ":22: 1 field; a draw line needs at least 4\n"},
      {{"predict", withLine("n.csv", "第2回,2018/6/12,X,1x3")},
       load + tool + dir.File("n.csv") + ":3: winning number \"1x3\" is not three digits\n"},
      {{"predict", withLine("r.csv", "5回,2018/6/12,X,123")},
       load + tool + dir.File("r.csv") + ":3: round \"5回\" is not of the form 第N回\n"},
      {{"predict", withLine("x.csv", "第X回,2018/6/12,X,123")},
       load + tool + dir.File("x.csv") + ":3: round \"第X回\" has no number between 第 and 回\n"},
      {{"predict", withLine("d.csv", "第2回,2018-6-12,X,123")},
       load + tool + dir.File("d.csv") + ":3: date \"2018-6-12\" is not YYYY/M/D\n"},
      {{"predict", withLine("f.csv", "第2回,2018/6/12,X")},
       load + tool + dir.File("f.csv") + ":3: 3 fields; a draw line needs at least 4\n"},
      {{"predict", undecodable},
       load + tool + undecodable + ":3: bytes that are not code page 932\n"},
      // A file with no line feed is read no further than the limit, not into memory whole.
      {{"predict", "/dev/zero"}, load + tool + "/dev/zero: line 1 is longer than 1048576 bytes\n"},
      // No ranking is no success.
      {{"predict", fourteen},
       tool + "no prediction: the history holds 14 draws; a prediction needs at least 15 (one "
              "cycle)\n"},
      {{"predict", headerOnly},
       tool + "no prediction: the history holds 0 draws; a prediction needs at least 15 (one "
              "cycle)\n"},
      {{"predict", crOnly},
       tool + "no prediction: the history holds 0 draws; a prediction needs at least 15 (one "
              "cycle)\n"},
      // The log is the log's problem: nothing is loaded, and the data is not blamed.
      {{"predict", history, "--log", dir.File("no/such/folder/trace.log")},
       tool + "cannot open the log file " + dir.File("no/such/folder/trace.log") +
           ": No such file or directory\n"},
  };
  for (const Case& c : cases) {
    const Outcome outcome = RunCli(dir, c.args);
    EXPECT_EQ(outcome.status, 1) << c.args[1];
    EXPECT_EQ(outcome.out, "") << c.args[1];
    EXPECT_EQ(outcome.err, c.err) << c.args[1];
  }
}

// A log that could not be written is reported, while the prediction still reaches its reader.
TEST(Cli, UnwritableLogIsReportedAfterTheResult) {
  TempDir dir;
  const std::string history = WriteHistoryFile(dir, RepeatedDrawLines("572", 30));
  const Outcome outcome = RunCli(dir, {"predict", history, "--log", "/dev/full"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out, RepeatedDrawResult("1", "572") + "\n");
  EXPECT_EQ(outcome.err,
            "tolvane-cli: the log file /dev/full could not be written: No space left on device\n");
}

// Twenty runs appending to one log at once interleave by whole lines, never inside one.
TEST(Cli, ConcurrentRunsKeepLogLinesWhole) {
  TempDir dir;
  const std::string history = WriteHistoryFile(dir, RepeatedDrawLines("572", 200));
  const std::string single = dir.File("single.log");
  ASSERT_EQ(RunCli(dir, {"predict", history, "--log", single}).status, 0);
  const std::vector<std::string> singleLines = ReadLines(single);
  const std::set<std::string> known(singleLines.begin(), singleLines.end());

  const std::string shared = dir.File("shared.log");
  std::vector<std::thread> runs;
  runs.reserve(20);
  std::atomic<int> failures{0};
  for (int run = 0; run < 20; ++run) {
    runs.emplace_back([&, run] {
      TempDir own;  // each run's own output files
      if (RunCli(own, {"predict", history, "--log", shared}).status != 0) {
        ++failures;
      }
      static_cast<void>(run);
    });
  }
  for (std::thread& run : runs) {
    run.join();
  }
  EXPECT_EQ(failures.load(), 0);
  const std::vector<std::string> lines = ReadLines(shared);
  EXPECT_EQ(lines.size(), 20 * singleLines.size());
  for (const std::string& line : lines) {
    EXPECT_TRUE(known.contains(line)) << "a spliced line: " << line.substr(0, 80);
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
      {"predict", "x", "--log", ""},
  };
  for (const auto& args : runs) {
    const Outcome outcome = RunCli(dir, args);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.out, "");
    EXPECT_NE(outcome.err.find("Usage: "), std::string::npos) << outcome.err;
  }
}

// The trace would be appended to the history and break every later load: refused before anything
// is written, whatever the spelling (here a hard link).
TEST(Cli, LogNamingTheHistoryIsAUsageError) {
  TempDir dir;
  const std::string history = WriteHistoryFile(dir, RepeatedDrawLines("572", 30));
  const std::string link = dir.File("link.csv");
  ASSERT_EQ(::link(history.c_str(), link.c_str()), 0);
  const std::string before = ReadBytes(history);
  for (const std::string& log : {history, link, dir.File("./history.csv")}) {
    const Outcome outcome = RunCli(dir, {"predict", history, "--log", log});
    EXPECT_EQ(outcome.status, 2) << log;
    EXPECT_EQ(outcome.out, "") << log;
    EXPECT_NE(outcome.err.find("names the history file itself"), std::string::npos) << outcome.err;
  }
  EXPECT_EQ(ReadBytes(history), before);
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
  EXPECT_EQ(calls,
            (std::vector<std::string>{"百の位", "十の位", "一の位", "百の位", "十の位", "一の位"}));
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
