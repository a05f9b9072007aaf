// Runs the real tolvane-cli as a process and checks what a caller sees: stdout, stderr, the exit
// status and the log file.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "evaluate/digit_statistics.h"
#include "tests/cli/run_cli.h"
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
  const std::string unread = dir.File("unread.fifo");
  ASSERT_EQ(::mkfifo(unread.c_str(), 0600), 0);
  const std::string crOnly = dir.File("cr.csv");
  WriteBytes(crOnly, Utf8ToCp932("header\r第1回,2018/6/12,X,123\r第2回,2018/6/12,X,456\r"));
  const std::string undecodable = dir.File("bytes.csv");
  WriteBytes(undecodable, Utf8ToCp932("h\n第1回,2018/6/12,X,123\n") + "\x80\n");
  const std::string edges = dir.File("edges.csv");
  WriteBytes(edges, "h\n第1回,2018/6/12,X,123\n第2回,2018/6/12,X,1\x1f ~\x7f\u009f\u00a02\n");
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
      {{"predict", "-"}, load + tool + "(standard input): is empty (no header line)\n"},
      {{"predict", blank}, load + tool + blank + ":22: 1 field; a draw line needs at least 4\n"},
      {{"predict", withLine("n.csv", "第2回,2018/6/12,X,1x3")},
       load + tool + dir.File("n.csv") + ":3: winning number \"1x3\" is not three digits\n"},
      // A file's bytes never reach the terminal raw: control characters are escaped.
      {{"predict", withLine("e.csv", "第2回,2018/6/12,X,\x1b[2J\x7f")},
       load + tool + dir.File("e.csv") +
           ":3: winning number \"\\x1b[2J\\x7f\" is not three digits\n"},
      // The edges of the escaped ranges: U+001F, U+007F and U+009F are, the next ones are not.
      {{"predict", edges, "--encoding", "utf-8"},
       load + tool + edges +
           ":3: winning number \"1\\x1f ~\\x7f\\u009f\u00a02\" is not three digits\n"},
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
       load + tool + crOnly +
           ": its lines end in a carriage return (CR) alone; convert them to LF or CR LF line "
           "ends\n"},
      // The log is the log's problem: nothing is loaded, and the data is not blamed.
      {{"predict", history, "--log", dir.File("no/such/folder/trace.log")},
       tool + "cannot open the log file " + dir.File("no/such/folder/trace.log") +
           ": No such file or directory\n"},
      {{"predict", history, "--log", unread},
       tool + "cannot open the log file " + unread + ": it is a FIFO with no reader\n"},
      // A history to add to is looked at before anything is copied.
      {{"add", dir.File("missing.csv"), "123"},
       "有効なファイルパスを入力してください。\n" + tool + dir.File("missing.csv") +
           ": No such file or directory\n"},
      {{"add", unread, "123"}, tool + unread + ": is not a regular file; add rewrites a file\n"},
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
  // Its trace is far more than a pipe holds, so a reader that goes early is noticed.
  const std::string history = WriteHistoryFile(dir, RepeatedDrawLines("572", 3000));
  const std::string fifo = dir.File("log.fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  struct Case {
    std::string log;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {"/dev/full", "No space left on device"},
      {fifo, "Broken pipe"},  // its reader takes one byte and goes
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.log);
    std::thread reader;
    if (c.log == fifo) {
      // Opened before the run, so the log has a reader when tolvane-cli opens it.
      const int fd = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
      ASSERT_GE(fd, 0);
      reader = std::thread([fd] {
        char byte = 0;
        for (int tries = 0; tries < 300000 && ::read(fd, &byte, 1) != 1; ++tries) {
          std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
        ::close(fd);
      });
    }
    const Outcome outcome = RunCli(dir, {"predict", history, "--log", c.log});
    if (reader.joinable()) {
      reader.join();
    }
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, RepeatedDrawResult("3001", "572") + "\n");
    EXPECT_EQ(outcome.err,
              "tolvane-cli: the log file " + c.log + " could not be written: " + c.reason + "\n");
  }
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
  constexpr int kRuns = 20;
  std::vector<std::thread> runs;
  runs.reserve(kRuns);
  std::atomic<int> failures{0};
  for (int run = 0; run < kRuns; ++run) {
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
      {"predict", "x", "--format", "xml"},
      {"predict", "x", "--encoding", "utf8"},
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
  // Standard input redirected from the history is the history too.
  EXPECT_EQ(RunCli(dir, {"predict", "-", "--log", history}, "", history).status, 2);
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

// Every frame and filter word reaches the engine as its own code, as the trace shows: one line
// of codes per digit transformed. With no filter the unfiltered transform runs, which takes no
// codes and whole series.
TEST(Cli, OptionWordsReachTheEngineAsTheirCodes) {
  TempDir dir;
  const std::string history = WriteHistoryFile(dir, RepeatedDrawLines("572", 30));
  const struct {
    std::vector<std::string> words;
    std::set<std::string> codeLines;
  } cases[] = {
      {{}, {"fftFlag: 0, iFType: 0"}},
      {{"--frame", "head", "--filter", "lpf"}, {"fftFlag: 0, iFType: 0"}},
      {{"--frame", "tail", "--filter", "bpf"}, {"fftFlag: 1, iFType: 1"}},
      {{"--frame", "center"}, {"fftFlag: 2, iFType: 0"}},
      {{"--frame", "headtail", "--filter", "bpf"}, {"fftFlag: -1, iFType: 1"}},
      {{"--filter", "none", "--frame", "tail"}, {}},
  };
  for (const auto& c : cases) {
    std::string words;
    for (const std::string& word : c.words) {
      words += word + " ";
    }
    SCOPED_TRACE(words);
    const std::string log = dir.File("codes.log");
    std::remove(log.c_str());
    std::vector<std::string> args = {"predict", history, "--log", log};
    args.insert(args.end(), c.words.begin(), c.words.end());
    EXPECT_EQ(RunCli(dir, args).status, 0);
    int transforms = 0;
    std::set<std::string> codeLines;
    for (const std::string& line : ReadLines(log)) {
      transforms += line.starts_with("ProcessSingleDigit called for ") ? 1 : 0;
      if (line.starts_with("fftFlag: ")) {
        codeLines.insert(line);
      }
    }
    EXPECT_EQ(transforms, 30);
    EXPECT_EQ(codeLines, c.codeLines);
  }
}

// A result that cannot be delivered must not be reported as a success.
TEST(Cli, FailedOutputIsNoSuccess) {
  TempDir dir;
  const std::string history = WriteHistoryFile(dir, RepeatedDrawLines("572", 30));
  const Outcome outcome = RunCli(dir, {"predict", history}, "/dev/full");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err, "");
}

// A history of the given three-digit numbers, oldest first.
std::vector<std::string> DrawLines(const std::vector<std::string>& numbers) {
  std::vector<std::string> lines = {"回別,抽せん日,曜日,当せん番号"};
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    lines.push_back("第" + std::to_string(i + 1) + "回,2020/1/2,X," + numbers[i]);
  }
  return lines;
}

TEST(CliStats, PrintsTheSameStatisticsAsTextJsonAndCsv) {
  TempDir dir;
  // Hundreds 0..9, tens 9..0, ones always 5.
  const std::string ladder = WriteHistoryFile(
      dir, DrawLines({"095", "185", "275", "365", "455", "545", "635", "725", "815", "905"}),
      "ladder.csv");
  const Outcome csv = RunCli(dir, {"stats", ladder, "--last", "3", "--format", "csv"});
  EXPECT_EQ(csv.status, 0);
  EXPECT_EQ(csv.err, "");
  std::string want = "place,digit,count,since_last\n";
  const std::vector<std::pair<std::string, std::vector<std::string>>> rows = {
      {"hundreds", {"0,", "0,", "0,", "0,", "0,", "0,", "0,", "1,2", "1,1", "1,0"}},
      {"tens", {"1,0", "1,1", "1,2", "0,", "0,", "0,", "0,", "0,", "0,", "0,"}},
      {"ones", {"0,", "0,", "0,", "0,", "0,", "3,0", "0,", "0,", "0,", "0,"}},
  };
  for (const auto& [place, cells] : rows) {
    for (std::size_t digit = 0; digit < cells.size(); ++digit) {
      want += place + "," + std::to_string(digit) + "," + cells[digit] + "\n";
    }
  }
  EXPECT_EQ(csv.out, want);

  // All ten draws: hundreds and tens perfectly even, ones all 5 (chi-square 90).
  const Outcome text = RunCli(dir, {"stats", ladder});
  EXPECT_EQ(text.status, 0);
  EXPECT_TRUE(text.out.starts_with("Digit statistics of " + ladder + "\nDraws 1 to 10 (10 of 10)"))
      << text.out;
  for (const std::string_view sentence :
       {"  Hundreds: the counts are consistent with a fair draw (p = 1 is above 0.0167,",
        "  Tens: the counts are consistent with a fair draw (p = 1 is above 0.0167,",
        "  Ones: the counts are not consistent with a fair draw (p = 1.63e-15 is not\n",
        "  since last     -     -     -     -     -     0     -     -     -     -\n"}) {
    EXPECT_NE(text.out.find(sentence), std::string::npos) << sentence << "\n" << text.out;
  }

  // JSON: the keys in order, and doubles that read back as the very values computed here.
  std::mt19937 random(7);
  std::uniform_int_distribution<int> digit(0, 9);
  std::vector<std::string> numbers(500);
  for (std::string& number : numbers) {
    for (int place = 0; place < 3; ++place) {
      number += static_cast<char>('0' + digit(random));
    }
  }
  const std::string history = WriteHistoryFile(dir, DrawLines(numbers), "random.csv");
  const Outcome json = RunCli(dir, {"stats", history, "--format", "json", "--last", "321"});
  EXPECT_EQ(json.status, 0);
  EXPECT_EQ(json.err, "");
  const auto document = nlohmann::ordered_json::parse(json.out);
  std::string keys;
  for (const auto& [key, value] : document.items()) {
    keys += key + " ";
  }
  for (const auto& place : document["places"]) {
    for (const auto& [key, value] : place.items()) {
      keys += key + " ";
    }
  }
  const std::string placeKeys = "place counts chi_square p_value since_last ";
  EXPECT_EQ(keys,
            "game history draws first_draw last_draw places " + placeKeys + placeKeys + placeKeys);
  EXPECT_EQ(document["history"], history);
  EXPECT_EQ(document["draws"], 500);
  EXPECT_EQ(document["first_draw"], 180);
  EXPECT_EQ(document["last_draw"], 500);
  // More draws than there are, even past 32 or 64 bits, means every draw, as for backtest.
  const Outcome all = RunCli(dir, {"stats", history, "--format", "json"});
  for (const std::string huge : {"4294967297", "18446744073709551617"}) {
    EXPECT_EQ(RunCli(dir, {"stats", history, "--format", "json", "--last", huge}).out, all.out);
  }
  OwnedHistory loaded;
  DrawHistory& draws = loaded.get();
  ASSERT_EQ(LoadDrawHistory(history, draws.hundreds, draws.tens, draws.ones, ""), kLoadOk);
  const DigitStatistics statistics = ComputeDigitStatistics(draws, 321);
  for (std::size_t p = 0; p < 3; ++p) {
    const auto& place = document["places"][p];
    const PlaceStatistics& expected = statistics.places[p];
    EXPECT_EQ(place["place"], (std::array<const char*, 3>{"hundreds", "tens", "ones"}[p]));
    EXPECT_EQ(place["counts"], nlohmann::ordered_json(expected.counts));
    EXPECT_EQ(place["chi_square"].get<double>(), expected.chiSquare);
    EXPECT_EQ(place["p_value"].get<double>(), expected.pValue);
    for (std::size_t d = 0; d < 10; ++d) {
      const auto& since = place["since_last"][d];
      EXPECT_EQ(since.is_null() ? std::nullopt : std::optional(since.get<std::uint32_t>()),
                expected.sinceLast[d]);
    }
  }
}

TEST(CliStats, FailuresAndUsageErrors) {
  TempDir dir;
  const std::string history = WriteHistoryFile(dir, RepeatedDrawLines("572", 3));
  const std::string headerOnly = WriteHistoryFile(dir, {"header"}, "header.csv");
  const std::string badLine =
      WriteHistoryFile(dir, {"回別,抽せん日,曜日,当せん番号", "第1回,2018/6/12,X,1x3"}, "bad.csv");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string err;  // empty: the usage text
  };
  const std::vector<Case> cases = {
      {{"stats", headerOnly}, 1, "tolvane-cli: no statistics: the history holds 0 draws\n"},
      {{"stats", dir.File("missing.csv")},
       1,
       "有効なファイルパスを入力してください。\ntolvane-cli: " + dir.File("missing.csv") +
           ": No such file or directory\n"},
      {{"stats", badLine, "--format", "json"},
       1,
       "エラーが発生しました: ナンバーズ3データの読み込みに失敗しました。\ntolvane-cli: " +
           badLine + ":2: winning number \"1x3\" is not three digits\n"},
      {{"stats"}, 2, ""},
      {{"stats", history, "--last", "0"}, 2, ""},
      {{"stats", history, "--last", "-3"}, 2, ""},
      {{"stats", history, "--last", "x"}, 2, ""},
      {{"stats", history, "--format", "xml"}, 2, ""},
  };
  for (const Case& c : cases) {
    const Outcome outcome = RunCli(dir, c.args);
    const std::string what = c.args.size() > 2 ? c.args[2] + " " + c.args[3] : c.args.back();
    EXPECT_EQ(outcome.status, c.status) << what;
    EXPECT_EQ(outcome.out, "") << what;
    if (c.err.empty()) {
      EXPECT_NE(outcome.err.find("Usage: "), std::string::npos) << what << outcome.err;
    } else {
      EXPECT_EQ(outcome.err, c.err) << what;
    }
  }
}

}  // namespace
}  // namespace tolvane::test
