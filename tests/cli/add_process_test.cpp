// tolvane-cli add as a process: what it appends to a history, byte for byte, and every way it
// refuses, leaving the file as it was.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "tests/cli/run_cli.h"
#include "tests/support/history_file.h"

namespace tolvane::test {
namespace {

struct AddCase {
  const char* name;
  std::vector<std::string> draws;  // UTF-8 draw lines after the header
  std::vector<std::string> args;   // after HISTORY
  int status;
  std::string err;  // the end of standard error (a part for usage errors), "{path}" the history
  std::string appended;    // UTF-8, added to the file's bytes; empty: the file is unchanged
  std::string end = "\n";  // the file's line ending
  bool finalEnd = true;    // the file's last line ends in one
  bool utf8 = false;
  std::string header = "回別,抽せん日,曜日,当せん番号";
};

TEST(CliAdd, AddsADrawOrSaysWhyNot) {
  const std::string monday = "第1回,2019/12/16,月,111";
  const std::vector<AddCase> cases = {
      {"the next round on the next day",
       {monday},
       {"123"},
       0,
       "added 第2回 2019/12/17 (火) 123 to {path}",
       "第2回,2019/12/17,火,123\n"},
      {"a Friday's next draw is on Monday",
       {"第7回,2019/12/13,金,111"},
       {"１２３"},
       0,
       "added 第8回 2019/12/16 (月) 123 to {path}",
       "第8回,2019/12/16,月,123\n"},
      {"a Thursday's next draw is on Friday",
       {"第3回,2019/12/12,木,111"},
       {"123"},
       0,
       "added 第4回 2019/12/13 (金) 123 to {path}",
       "第4回,2019/12/13,金,123\n"},
      {"no draw from 31 December to 3 January",
       {"第9回,2019/12/30,月,111"},
       {"000"},
       0,
       "added 第10回 2020/1/6 (月) 000 to {path}",
       "第10回,2020/1/6,月,000\n"},
      {"zero-padded dates stay so",
       {"第1回,2019/01/04,金,111"},
       {"123"},
       0,
       "added 第2回 2019/1/7 (月) 123 to {path}",
       "第2回,2019/01/07,月,123\n"},
      {"control characters of a value echoed as escapes",
       {monday},
       {"1\x1b[2J"},
       2,
       "\"1\\x1b[2J\" is not three digits",
       ""},
      {"CR LF kept",
       {monday},
       {"123"},
       0,
       "added 第2回 2019/12/17 (火) 123 to {path}",
       "第2回,2019/12/17,火,123\r\n",
       "\r\n"},
      {"a last line without its end gets one first",
       {monday},
       {"123"},
       0,
       "added 第2回 2019/12/17 (火) 123 to {path}",
       "\n第2回,2019/12/17,火,123\n",
       "\n",
       false},
      {"CR LF, a last line without its end gets CR LF first",
       {monday},
       {"123"},
       0,
       "added 第2回 2019/12/17 (火) 123 to {path}",
       "\r\n第2回,2019/12/17,火,123\r\n",
       "\r\n",
       false},
      {"UTF-8",
       {monday},
       {"123", "--encoding", "utf-8"},
       0,
       "added 第2回 2019/12/17 (火) 123 to {path}",
       "第2回,2019/12/17,火,123\n",
       "\n",
       true,
       true},
      {"Numbers 4",
       {"第1回,2019/12/16,月,1111"},
       {"0123", "--game", "numbers4"},
       0,
       "added 第2回 2019/12/17 (火) 0123 to {path}",
       "第2回,2019/12/17,火,0123\n"},
      {"rounds missing, with a date",
       {monday},
       {"123", "--round", "4", "--date", "2019-12-20"},
       0,
       "added 第4回 2019/12/20 (金) 123 to {path}",
       "第4回,2019/12/20,金,123\n"},
      {"the largest round, of ten digits",
       {monday},
       {"123", "--round", "2147483647", "--date", "2019-12-20"},
       0,
       "added 第2147483647回 2019/12/20 (金) 123 to {path}",
       "第2147483647回,2019/12/20,金,123\n"},
      {"a round above the largest",
       {monday},
       {"123", "--round", "2147483648", "--date", "2019-12-20"},
       2,
       "2147483648",
       ""},
      {"rounds missing, no date",
       {monday},
       {"123", "--round", "3"},
       1,
       "--date is needed for a round after missing ones",
       ""},
      {"a round already there",
       {monday, "第2回,2019/12/17,火,222"},
       {"123", "--round", "1"},
       1,
       "{path}:2: 第1回 is already there",
       ""},
      {"the highest round again",
       {monday, "第2回,2019/12/17,火,222"},
       {"123", "--round", "2"},
       1,
       "{path}:3: 第2回 is already there",
       ""},
      {"a round below the highest",
       {"第5回,2019/12/16,月,111"},
       {"123", "--round", "4"},
       1,
       "{path}:2: 第4回 is not above the highest round, 第5回",
       ""},
      {"a date not after the newest",
       {monday},
       {"123", "--date", "2019/12/16"},
       1,
       "{path}:2: the date 2019/12/16 is not later than the newest draw's, 2019/12/16",
       ""},
      {"rounds out of order",
       {"第2回,2019/12/16,月,111", "第1回,2019/12/17,火,222"},
       {"123"},
       1,
       "{path}:3: the rounds stop going up at this line; add keeps an oldest-first history only "
       "(import converts the others)",
       ""},
      {"a bad line",
       {"第1回,2019/12/16,月,1x1"},
       {"123"},
       1,
       "{path}:2: winning number \"1x1\" is not three digits",
       ""},
      {"no real date to count from",
       {"第1回,2019/2/30,月,111"},
       {"123"},
       1,
       "{path}:2: date \"2019/2/30\" is not a day of the calendar",
       ""},
      {"payouts, where the header names their columns",
       {monday + ",,,,,"},
       {"123", "--payouts", "90000,-,52500,7500"},
       0,
       "added 第2回 2019/12/17 (火) 123 to {path}",
       "第2回,2019/12/17,火,123,90000,,52500,7500,\n",
       "\n",
       true,
       false,
       "回別,抽せん日,曜日,当せん番号,ストレート,ボックス,セット(ストレート),セット(ボックス),"
       "ミニ"},
      {"payouts, where the header has no room for them",
       {monday},
       {"123", "--payouts", "90000,15000,52500,7500"},
       1,
       "{path}: its header names no payout columns (回別,抽せん日,曜日,当せん番号,ストレート,"
       "ボックス,セット(ストレート),セット(ボックス),ミニ), so --payouts has nowhere to go",
       ""},
      {"payouts that are not four or five amounts",
       {monday},
       {"123", "--payouts", "1,2"},
       2,
       "\"1,2\" is not four or five amounts of yen",
       ""},
      {"payouts in columns of other names and order, full-width, one with no column",
       {monday + ",,,,"},
       {"123", "--payouts", "１５，０００,90000,52500,7500,9000"},
       0,
       "warning: {path}: its header has no ミニ column, so that payout is not written\n"
       "tolvane-cli: added 第2回 2019/12/17 (火) 123 to {path}",
       "第2回,2019/12/17,火,123,90000,15000,52500,7500\n",
       "\n",
       true,
       false,
       "回別,抽せん日,曜日,当せん番号,box,straight_prize,セットのストレート,セット(ボックス)"},
      {"a payout above the largest amount",
       {monday},
       {"123", "--payouts", "4294967296,,,"},
       2,
       "the straight payout \"4294967296\" is above the largest amount, 4294967295 yen",
       ""},
      {"a Numbers 3 history is not written as Numbers 4",
       {monday},
       {"1234", "--game", "numbers4"},
       1,
       "{path}:2: every winning number has three digits, so this is a Numbers 3 history; add "
       "writes one with --game numbers3",
       ""},
      {"a Numbers 4 history is not written as Numbers 3",
       {"第1回,2019/12/16,月,1234"},
       {"123"},
       1,
       "{path}:2: every winning number has four digits, so this is a Numbers 4 history; add "
       "writes one with --game numbers4",
       ""},
      {"a longer number read by its first three, as predict reads it",
       {monday, "第2回,2019/12/17,火,1489"},
       {"123"},
       0,
       "warning: {path}:3: winning number \"1489\" is longer than three digits; its first three "
       "are used\ntolvane-cli: added 第3回 2019/12/18 (水) 123 to {path}",
       "第3回,2019/12/18,水,123\n"},
      {"no draw day within the year 9999",
       {"第1回,9999/12/30,木,111"},
       {"123"},
       1,
       "{path}:2: no draw day follows 9999/12/30 within the year 9999, the last a history holds",
       ""},
      {"two digits", {monday}, {"12"}, 2, "", ""},
      {"four digits for Numbers 3", {monday}, {"1234"}, 2, "", ""},
      {"a date of no calendar", {monday}, {"123", "--date", "2019/2/29"}, 2, "", ""},
  };
  const TempDir dir;
  for (const AddCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string text = c.header + c.end;
    for (std::size_t i = 0; i < c.draws.size(); ++i) {
      text += c.draws[i] + (i + 1 < c.draws.size() || c.finalEnd ? c.end : "");
    }
    const std::string path = dir.File("history.csv");
    const std::string before = c.utf8 ? text : Utf8ToCp932(text);
    WriteBytes(path, before);
    std::vector<std::string> args = {"add", path};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const Outcome outcome = RunCli(dir, args);
    EXPECT_EQ(outcome.status, c.status) << outcome.err;
    EXPECT_EQ(outcome.out, "");
    std::string err = "tolvane-cli: " + c.err + "\n";
    for (std::size_t at = err.find("{path}"); at != std::string::npos; at = err.find("{path}")) {
      err.replace(at, 6, path);
    }
    if (c.status != 2) {
      EXPECT_TRUE(outcome.err.ends_with(err)) << outcome.err;
    } else {
      EXPECT_NE(outcome.err.find(c.err), std::string::npos) << outcome.err;
    }
    EXPECT_EQ(ReadBytes(path), before + (c.utf8 ? c.appended : Utf8ToCp932(c.appended)));
  }
}

// Writers at once: each waits for the one before it, so every draw is in the file once, rounds in
// order, whatever order they ran in. Importers into a history not there yet: the first writes it,
// each later one merges into what the others wrote.
TEST(CliAdd, WritersAtOnceLoseNothing) {
  const std::string header = "回別,抽せん日,曜日,当せん番号\n";
  const std::string first = "第1回,2019/12/16,月,111\n";
  for (const bool importing : {false, true}) {
    SCOPED_TRACE(importing ? "import --into" : "add");
    const TempDir dir;
    const std::string path = dir.File("history.csv");
    if (!importing) {
      WriteBytes(path, header + first);
    }
    constexpr int kWriters = 20;
    std::vector<std::thread> writers;
    writers.reserve(kWriters);
    std::vector<Outcome> outcomes(kWriters);
    for (int i = 0; i < kWriters; ++i) {
      char number[4];
      std::snprintf(number, sizeof number, "%03d", i);
      // Round i + 2, one source each; the first round is in every source.
      const std::string source = dir.File("source" + std::to_string(i) + ".csv");
      WriteBytes(source, header + first + "第" + std::to_string(i + 2) + "回,2020/1/" +
                             std::to_string(i + 6) + ",月," + number + "\n");
      std::vector<std::string> args = {"add", path, number, "--encoding", "utf-8"};
      if (importing) {
        args = {"import", source, "--into", path};
      }
      writers.emplace_back([&outcomes, args, i] {
        const TempDir own;  // each run's output files apart
        outcomes[static_cast<std::size_t>(i)] = RunCli(own, args);
      });
    }
    for (std::thread& writer : writers) {
      writer.join();
    }
    const std::string after = ReadBytes(path);
    // An imported history is written in code page 932.
    const auto inFile = [importing](const std::string& utf8) {
      return importing ? Utf8ToCp932(utf8) : utf8;
    };
    for (int i = 0; i < kWriters; ++i) {
      EXPECT_EQ(outcomes[static_cast<std::size_t>(i)].status, 0)
          << outcomes[static_cast<std::size_t>(i)].err;
      char number[8];
      std::snprintf(number, sizeof number, ",%03d\n", i);
      const std::size_t at = after.find(number);
      EXPECT_NE(at, std::string::npos) << i;
      EXPECT_EQ(after.find(number, at + 1), std::string::npos) << i;
    }
    for (int round = 2; round <= kWriters + 1; ++round) {
      EXPECT_NE(after.find(inFile("\n第" + std::to_string(round) + "回,")), std::string::npos)
          << round;
    }
    EXPECT_TRUE(after.starts_with(inFile(header + first)));
    EXPECT_EQ(std::count(after.begin(), after.end(), '\n'), kWriters + 2);
  }
}

}  // namespace
}  // namespace tolvane::test
