// Runs `tolvane-cli import` as a process: what it writes, what it says, and that its history
// predicts like one made by hand.

#include <gtest/gtest.h>

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
  files.history = {"回別,抽せん日,曜日,当せん番号"};
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
                            kWeekdays[(round - 1) % 7] + "," + digits);
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
      "source newest first\n";

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
            "lines, source newest first\n");
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
  const std::string tool = "tolvane-cli: ";
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string err;  // the last line of standard error
  };
  const std::vector<Case> cases = {
      {{"import", late, "-o", dest},
       1,
       tool + late + ":42: date \"2018/02/30\" is not a day of the calendar\n"},
      {{"import", unnamed, "-o", dest},
       1,
       tool + unnamed +
           ":1: the header names no column for the round, the date or the winning number (its "
           "fields: \"a\", \"b\", \"c\"); give their positions with --columns R,D,N\n"},
      {{"import", escape, "-o", dest},
       1,
       tool + escape + ":2: winning number \"\\x1b[2J\" is not one to three digits\n"},
      {{"import", utf8, "-o", dest},
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
      {{"import", late, "-o", late}, 2, ""},
      {{"import", unnamed, "-o", dest, "--columns", "0,1,1"}, 2, ""},
      {{"import", unnamed, "-o", dest, "--encoding", "sjis"}, 2, ""},
  };
  const std::string lateBytes = ReadBytes(late);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[1] + " " + c.args.back());
    const Outcome run = RunCli(dir, c.args);
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

}  // namespace
}  // namespace tolvane::test
