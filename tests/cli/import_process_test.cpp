// Runs `tolvane-cli import` as a process: what it writes, what it says, and that its history
// predicts like one made by hand.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/cli/run_cli.h"
#include "tests/support/history_file.h"

namespace tolvane::test {
namespace {

// The same draws twice: as the 14-column download (newest first, plain rounds, zero-padded
// dates, numbers without their leading zeros) and as a history written by hand.
struct TwoLayouts {
  std::vector<std::string> download;
  std::vector<std::string> history;
};

TwoLayouts SameDraws(int count) {
  using namespace std::chrono;
  constexpr const char* kWeekdays[] = {"月", "火", "水", "木", "金", "土", "日"};
  TwoLayouts files;
  files.download = {
      "No,抽選日,当選数字,口数[STR],口数[BOX],口数[SET-STR],口数[SET-BOX],口数[ミニ],金額[STR],"
      "金額[BOX],金額[SET-STR],金額[SET-BOX],金額[ミニ],販売実績"};
  // The download's 金額 columns are the payouts: the history keeps them.
  files.history = {
      "回別,抽せん日,曜日,当せん番号,ストレート,ボックス,セット(ストレート),セット(ボックス),ミニ"};
  unsigned state = 12345;
  const sys_days first = 2018y / June / 25d;  // a Monday
  for (int round = 1; round <= count; ++round) {
    state = state * 1103515245u + 12345u;
    const unsigned number = (state >> 8) % 1000;
    const year_month_day date(first + days(round - 1));
    const auto y = static_cast<int>(date.year());
    const auto m = static_cast<unsigned>(date.month());
    const auto d = static_cast<unsigned>(date.day());
    char padded[16];
    std::snprintf(padded, sizeof padded, "%04d/%02u/%02u", y, m, d);
    char digits[4];
    std::snprintf(digits, sizeof digits, "%03u", number);
    files.download.insert(files.download.begin() + 1, std::to_string(round) + "," + padded + "," +
                                                          std::to_string(number) +
                                                          ",1,2,3,4,5,9,8,7,6,5,\"1,234,000\"");
    files.history.push_back("第" + std::to_string(round) + "回," + std::to_string(y) + "/" +
                            std::to_string(m) + "/" + std::to_string(d) + "," +
                            kWeekdays[(round - 1) % 7] + "," + digits + ",9,8,7,6,5");
  }
  return files;
}

TEST(CliImport, ConvertedFilePredictsAsTheHandMadeHistory) {
  const TempDir dir;
  const TwoLayouts files = SameDraws(150);
  const std::string source = WriteHistoryFile(dir, files.download, "download.csv");
  const std::string byHand = WriteHistoryFile(dir, files.history, "by-hand.csv");
  const std::string dest = dir.File("imported.csv");
  const std::string summary =
      "tolvane-cli: 150 draws written, rounds 1 to 150, 0 rounds missing, 0 repeated lines, "
      "source newest first; columns: round=No, date=抽選日, number=当選数字, straight=金額[STR], "
      "box=金額[BOX], set-straight=金額[SET-STR], set-box=金額[SET-BOX], mini=金額[ミニ]\n";

  const Outcome import = RunCli(dir, {"import", source, "-o", dest});
  EXPECT_EQ(import.status, 0);
  EXPECT_EQ(import.out, "");
  EXPECT_EQ(import.err, summary);
  EXPECT_EQ(ReadBytes(dest), ReadBytes(byHand));
  const Outcome toStdout = RunCli(dir, {"import", source, "-o", "-"});
  EXPECT_EQ(toStdout.out, ReadBytes(byHand));
  EXPECT_EQ(toStdout.err, summary);
  // Standard input in, standard output out, as every other command reads "-".
  const Outcome piped = RunCli(dir, {"import", "-", "-o", "-"}, "", source);
  EXPECT_EQ(piped.out, ReadBytes(byHand));
  EXPECT_EQ(piped.err, summary);

  for (const char* filter : {"lpf", "none"}) {
    const Outcome converted = RunCli(dir, {"predict", dest, "--filter", filter});
    const Outcome handMade = RunCli(dir, {"predict", byHand, "--filter", filter});
    EXPECT_EQ(converted.status, 0) << converted.err;
    EXPECT_EQ(converted.out, handMade.out);
  }

  const Outcome example =
      RunCli(dir, {"import", TOLVANE_IMPORT_EXAMPLE, "-o", dir.File("example.csv")});
  EXPECT_EQ(example.status, 0);
  EXPECT_EQ(example.err,
            "tolvane-cli: 60 draws written, rounds 6441 to 6500, 0 rounds missing, 0 repeated "
            "lines, source newest first; columns: round=No, date=抽選日, number=当選数字, "
            "straight=金額[STR], box=金額[BOX], set-straight=金額[SET-STR], set-box=金額[SET-BOX], "
            "mini=金額[ミニ]\n");
}

// A failed import says where and why, and leaves an existing DEST as it was.
TEST(CliImport, FailuresLeaveTheDestinationAsItWas) {
  const TempDir dir;
  std::vector<std::string> lines = SameDraws(40).download;
  lines.emplace_back("41,2018/02/30,1,1,2,3,4,5,9,8,7,6,5,0");  // fails only at the end
  const std::string late = WriteHistoryFile(dir, lines, "late.csv");
  const std::string unnamed = WriteHistoryFile(dir, {"a,b,c", "1,2018/6/12,123"}, "unnamed.csv");
  const std::string escape =
      WriteHistoryFile(dir, {"No,抽選日,当選数字", "1,2019/1/1,\x1b[2J"}, "escape.csv");
  const std::string utf8 = dir.File("utf8.csv");
  WriteBytes(utf8, "No,抽選日,当選数字\n1,2019/1/1,123\n");
  const std::string dest = dir.File("dest.csv");
  WriteBytes(dest, "what was there");
  const std::string utf8History = dir.File("utf8-history.csv");
  WriteBytes(utf8History, "回別,抽せん日,曜日,当せん番号\n第1回,2019/1/1,火,123\n");
  const std::string fifo = dir.File("fifo");
  ::mkfifo(fifo.c_str(), 0600);
  const std::string tool = "tolvane-cli: ";
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string err;         // the last line of standard error
    std::string input = "";  // the file standard input reads; empty: /dev/null
  };
  const std::vector<Case> cases = {
      {{"import", late, "-o", dest},
       1,
       tool + late + ":42: date \"2018/02/30\" is not a day of the calendar\n"},
      {{"import", unnamed, "-o", dest},
       1,
       tool +
           "the header names known: round: 回別, 回号, 開催回, 抽せん回, 抽選回, 回, No, "
           "draw_number, round, round_number, draw_no, draw; date: 抽せん日, 抽選日, 日付, 開催日, "
           "draw_date, date; winning number: 当せん番号, 当選番号, 当せん数字, 当選数字, 本数字, "
           "winning_number, winning_numbers, number, numbers\n" +
           tool + unnamed +
           ":1: the header names no column for the round, the date or the winning number (its "
           "fields: \"a\", \"b\", \"c\"); give their positions with --columns R,D,N\n"},
      {{"import", escape, "-o", dest},
       1,
       tool + escape + ":2: winning number \"\\x1b[2J\" is not one to three digits\n"},
      {{"import", utf8, "-o", dest, "--encoding", "cp932"},
       1,
       tool + utf8 +
           ":1: bytes that are not code page 932; the file looks like UTF-8: try --encoding "
           "utf-8\n"},
      {{"import", dir.File("missing.csv"), "-o", dest},
       1,
       tool + dir.File("missing.csv") + ": cannot open: No such file or directory\n"},
      {{"import", unnamed, "-o", dir.File("missing-folder/x.csv"), "--columns", "0,1,2"},
       1,
       tool + dir.File("missing-folder/x.csv") +
           ": cannot create a file in its folder: No such file or directory\n"},
      {{"import", unnamed, "--into", fifo, "--columns", "0,1,2"},
       1,
       tool + fifo + ": is not a regular file; import --into rewrites a file\n"},
      // The hint names the history's own option, not the source's.
      {{"import", utf8, "--into", utf8History, "--encoding", "utf-8"},
       1,
       tool + utf8History +
           ":2: bytes that are not code page 932; the file looks like UTF-8: try "
           "--history-encoding utf-8\n"},
      {{"import", late, "-o", late}, 2, ""},
      {{"import", "-", "-o", late}, 2, "", late},
      {{"import", unnamed, "-o", dest, "--columns", "0,1,1"}, 2, ""},
      {{"import", unnamed, "-o", dest, "--encoding", "sjis"}, 2, ""},
  };
  const std::string lateBytes = ReadBytes(late);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[1] + " " + c.args.back());
    const Outcome run = RunCli(dir, c.args, "", c.input);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(run.err.ends_with(c.err)) << run.err;
    EXPECT_EQ(ReadBytes(dest), "what was there");
    EXPECT_EQ(ReadBytes(late), lateBytes);
  }
  // Given the columns, the unnamed file converts.
  EXPECT_EQ(RunCli(dir, {"import", unnamed, "-o", dest, "--columns", "0,1,2"}).status, 0);
  EXPECT_EQ(ReadLines(dest).back(), Utf8ToCp932("第1回,2018/6/12,火,123"));
}

// A download as players get it: UTF-8 found from its bytes unless given, and what was read said.
TEST(CliImport, EncodingFoundAndColumnsSaid) {
  const TempDir dir;
  const std::string source = dir.File("download.csv");
  const std::string dest = dir.File("history.csv");
  WriteBytes(source,
             "draw_date,draw_number,winning_number,ストレート口数,ストレート賞金,ボーナス賞金\n"
             "2025/12/08(月),6873,\"[1, 9, 1]\",12,\"98,000\",5\n");
  const std::string warning =
      "tolvane-cli: warning: " + source +
      ": \"ボーナス賞金\" looks like a payout column but is not read, so its amounts are left out "
      "(a payout column is named by its kind of bet, alone or with a prize word: ストレート, "
      "ボックス賞金, 金額[SET-STR], straight_prize)\n";
  const std::string summary =
      "tolvane-cli: 1 draw written, rounds 6873 to 6873, 0 rounds missing, 0 repeated lines, "
      "source oldest first";
  const std::string columns =
      "; columns: round=draw_number, date=draw_date, number=winning_number, "
      "straight=ストレート賞金\n";
  EXPECT_EQ(RunCli(dir, {"import", source, "-o", dest}).err,
            warning + summary + ", read as UTF-8" + columns);
  EXPECT_EQ(RunCli(dir, {"import", source, "-o", dest, "--encoding", "utf-8"}).err,
            warning + summary + columns);
  EXPECT_EQ(ReadBytes(dest), Utf8ToCp932("回別,抽せん日,曜日,当せん番号,ストレート,ボックス,"
                                         "セット(ストレート),セット(ボックス),ミニ\n"
                                         "第6873回,2025/12/8,月,191,98000,,,,\n"));
  // A Numbers 3 source converted as Numbers 4 is said to be one.
  const std::string three = dir.File("three.csv");
  WriteBytes(three, "No,抽選日,当選数字\n1,2019/1/1,123\n2,2019/1/2,045\n");
  EXPECT_TRUE(RunCli(dir, {"import", three, "-o", dest, "--game", "numbers4"})
                  .err.starts_with("tolvane-cli: warning: " + three +
                                   ": every winning number has three digits; this looks like a "
                                   "Numbers 3 source: try --game numbers3\n"));
  // So is one whose header names a mini column.
  WriteBytes(three, Utf8ToCp932("No,抽選日,当選数字,ミニ\n1,2019/1/1,1234,9000\n"));
  EXPECT_TRUE(RunCli(dir, {"import", three, "-o", dest, "--game", "numbers4"})
                  .err.starts_with("tolvane-cli: warning: " + three +
                                   ": the header names a mini column, which only Numbers 3 has; "
                                   "this looks like a Numbers 3 source: try --game numbers3\n"));
}

// A fresh download merged into a history: the history's lines byte for byte, the new rounds among
// them in order, a round both hold differently refused with both lines named.
TEST(CliImport, IntoAHistoryAddsOnlyTheNewRounds) {
  const TempDir dir;
  const std::string header = "回別,抽せん日,曜日,当せん番号";
  // Round r on day r of June 2018, number r * 111 % 1000.
  const auto history = [&header](const std::vector<int>& rounds, const std::string& end) {
    std::string text = header + end;
    for (const int r : rounds) {
      char number[8];
      std::snprintf(number, sizeof number, "%03d", r * 111 % 1000);
      text += "第" + std::to_string(r) + "回,2018/6/" + std::to_string(r) + ",X," + number + end;
    }
    return text;
  };
  // With `straight`, a straight payout column holding it on every line.
  const auto source = [&dir](const std::vector<int>& rounds, const std::string& name,
                             const std::string& straight = "") {
    std::vector<std::string> lines = {straight.empty() ? "回,日付,本数字"
                                                       : "回,日付,本数字,ストレート賞金"};
    for (const int r : rounds) {
      lines.push_back(std::to_string(r) + ",2018-06-" + std::to_string(r) + "," +
                      std::to_string(r * 111 % 1000) + (straight.empty() ? "" : "," + straight));
    }
    return WriteHistoryFile(dir, lines, name);
  };
  const std::string tool = "tolvane-cli: ";
  struct Case {
    const char* name;
    std::string before;  // the history, UTF-8
    std::vector<int> sourceRounds;
    int status;
    std::string err;            // the end of standard error
    std::string after;          // the history afterwards, UTF-8
    std::string straight = {};  // the source's straight payouts
  };
  const std::string withPayouts =
      "回別,抽せん日,曜日,当せん番号,ストレート\n第1回,2018/6/1,X,111,91000\n";
  // Lines as import writes them, with the weekday.
  const std::string line4 = "第4回,2018/6/4,月,444\n";
  const std::string line5 = "第5回,2018/6/5,火,555\n";
  const std::vector<Case> cases = {
      {"new rounds at the end",
       history({1, 2, 3}, "\n"),
       {2, 3, 4, 5},
       0,
       "2 draws added to {h}, rounds 4 to 5; 2 already there; 0 rounds missing; columns: round=回, "
       "date=日付, number=本数字\n",
       history({1, 2, 3}, "\n") + line4 + line5},
      {"a gap filled, a hand-typed round kept",
       history({1, 2, 5, 6}, "\r\n"),
       {3, 4, 5},
       0,
       "2 draws added to {h}, rounds 3 to 4; 1 already there; 0 rounds missing; columns: round=回, "
       "date=日付, number=本数字\n",
       history({1, 2}, "\r\n") + "第3回,2018/6/3,日,333\r\n第4回,2018/6/4,月,444\r\n" +
           history({5, 6}, "\r\n").substr(header.size() + 2)},
      {"nothing new",
       history({1, 2}, "\n"),
       {1, 2},
       0,
       "0 draws added to {h}; 2 already there; 0 rounds missing; columns: round=回, date=日付, "
       "number=本数字\n",
       history({1, 2}, "\n")},
      {"a round held differently",
       history({1, 2}, "\n") + "第3回,2018/6/3,X,999\n",
       {3, 4},
       1,
       "{s}:2: {h}:4 holds the same round with another draw (round 3 is 2018/6/3 999 there, "
       "2018/6/3 333 here)\n",
       history({1, 2}, "\n") + "第3回,2018/6/3,X,999\n"},
      {"payouts the history has no column for",
       history({1, 2}, "\n"),
       {2, 3},
       0,
       "warning: {h}: its header has no column for the source's payouts (ストレート), so the "
       "added draws are written without them\ntolvane-cli: 1 draw added to {h}, rounds 3 to 3; 1 "
       "already there; 0 rounds missing; columns: round=回, date=日付, number=本数字, "
       "straight=ストレート賞金\n",
       history({1, 2}, "\n") + "第3回,2018/6/3,日,333\n",
       "90000"},
      {"another payout for a round both hold",
       withPayouts,
       {1, 2},
       0,
       "warning: {s}:2: {h}:2 holds round 1 with other payouts (ストレート 91000 there, 90000 "
       "here); the history's are kept\ntolvane-cli: 1 draw added to {h}, rounds 2 to 2; 1 already "
       "there; 0 rounds missing; columns: round=回, date=日付, number=本数字, "
       "straight=ストレート賞金\n",
       withPayouts + "第2回,2018/6/2,土,222,90000\n",
       "90000"},
      {"other payouts for two rounds",
       withPayouts + "第2回,2018/6/2,X,222,91000\n",
       {1, 2, 3},
       0,
       "warning: {s}:2: {h}:2 holds round 1 with other payouts (ストレート 91000 there, 90000 "
       "here) (and 1 more round); the history's are kept\ntolvane-cli: 1 draw added to {h}, "
       "rounds 3 to 3; 2 already there; 0 rounds missing; columns: round=回, date=日付, "
       "number=本数字, straight=ストレート賞金\n",
       withPayouts + "第2回,2018/6/2,X,222,91000\n第3回,2018/6/3,日,333,90000\n",
       "90000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.File("history.csv");
    WriteBytes(path, Utf8ToCp932(c.before));
    const std::string from = source(c.sourceRounds, "download.csv", c.straight);
    const Outcome outcome = RunCli(dir, {"import", from, "--into", path});
    EXPECT_EQ(outcome.status, c.status);
    std::string err = tool + c.err;
    for (const auto& [key, value] : {std::pair{"{h}", path}, {"{s}", from}}) {
      for (std::size_t at = err.find(key); at != std::string::npos; at = err.find(key)) {
        err.replace(at, 3, value);
      }
    }
    EXPECT_TRUE(outcome.err.ends_with(err)) << outcome.err;
    EXPECT_EQ(ReadBytes(path), Utf8ToCp932(c.after));
  }
  // A history not there yet is written as -o writes one; -o and --into exclude each other.
  const std::string from = source({1, 2}, "new-source.csv");
  EXPECT_EQ(RunCli(dir, {"import", from, "--into", dir.File("new.csv")}).status, 0);
  EXPECT_EQ(ReadBytes(dir.File("new.csv")),
            Utf8ToCp932(header + "\n第1回,2018/6/1,金,111\n第2回,2018/6/2,土,222\n"));
  // ... in the encoding it is then read in.
  EXPECT_EQ(
      RunCli(dir, {"import", from, "--into", dir.File("new8.csv"), "--history-encoding", "utf-8"})
          .status,
      0);
  EXPECT_EQ(ReadBytes(dir.File("new8.csv")),
            header + "\n第1回,2018/6/1,金,111\n第2回,2018/6/2,土,222\n");
  EXPECT_EQ(RunCli(dir, {"import", from, "--into", dir.File("new.csv"), "-o", "x.csv"}).status, 2);
  EXPECT_EQ(RunCli(dir, {"import", from}).status, 2);
}

}  // namespace
}  // namespace tolvane::test
