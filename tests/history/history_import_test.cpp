#include "history/history_import.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "history/draw_history.h"
#include "history/payouts.h"
#include "tests/support/history_file.h"

namespace tolvane::test {
namespace {

constexpr const char* kFourteen =
    "No,抽選日,当選数字,口数[STR],口数[BOX],口数[SET-STR],口数[SET-BOX],口数[ミニ],金額[STR],"
    "金額[BOX],金額[SET-STR],金額[SET-BOX],金額[ミニ],販売実績";

struct LayoutCase {
  const char* name;
  std::vector<std::string> lines;  // UTF-8; written in code page 932 unless `utf8`
  bool utf8 = false;
  std::optional<ImportColumns> columns;
  // The history's draw lines and the summary; without lines, "LINE: REASON" of the failure.
  std::vector<std::string> history;
  std::string outcome;
  Game game = Game::kNumbers3;
};

std::string SourceBytes(const LayoutCase& c) {
  std::string text;
  for (const std::string& line : c.lines) {
    text += line + "\r\n";
  }
  return c.utf8 ? text : Utf8ToCp932(text);
}

// Every layout people keep, and every way a line can be refused, through the converter.
TEST(HistoryImport, ConvertsEachLayoutOrSaysWhichLineFailsAndWhy) {
  const std::string ok = "rounds 1 to 2, 0 rounds missing, 0 repeated lines, source oldest first";
  const std::vector<LayoutCase> cases = {
      {"14 columns",
       {kFourteen, "5000,2018/06/12,072,1,2,3,4,5,9,8,7,6,5,\"1,234,000\"",
        "5001,2018/06/13,7,1,2,3,4,5,9,8,7,6,5,\"1,234,000\""},
       false,
       {},
       {"第5000回,2018/6/12,火,072,9,8,7,6,5", "第5001回,2018/6/13,水,007,9,8,7,6,5"},
       "2 draws written, rounds 5000 to 5001, 0 rounds missing, 0 repeated lines, source oldest "
       "first"},
      {"payouts by their other names, separators and unknowns",
       {"回,日付,本数字,ストレート賞金額,セットのボックス", "1,2018/6/12,1,\"90,000\",該当なし",
        "2,2018/6/13,2,-,7500"},
       false,
       {},
       {"第1回,2018/6/12,火,001,90000,,,,", "第2回,2018/6/13,水,002,,,,7500,"},
       "2 draws written, " + ok},
      {"a payout that is no amount",
       {"回,日付,本数字,金額[BOX]", "1,2018/6/12,1,\"1,23,456\""},
       false,
       {},
       {},
       "2: payout \"1,23,456\" in column ボックス is not an amount of yen"},
      {"a payout that is no amount at all",
       {"回,日付,本数字,金額[BOX]", "1,2018/6/12,1,9x"},
       false,
       {},
       {},
       "2: payout \"9x\" in column ボックス is not an amount of yen"},
      {"three columns, newest first, dashed and kanji dates, a gap",
       {"開催回,日付,当せん番号", "第10回,2018-06-15,123", "第8回,2018年6月13日,45"},
       false,
       {},
       {"第8回,2018/6/13,水,045", "第10回,2018/6/15,金,123"},
       "2 draws written, rounds 8 to 10, 1 round missing, 0 repeated lines, source newest first"},
      {"full-width digits, YYYYMMDD, blanks and empty lines",
       {" 回 ,抽せん日,本数字", "第１回, ２０２００２２９ ,\"９８７\"", "", ",,", "2,2020/3/1,0"},
       false,
       {},
       {"第1回,2020/2/29,土,987", "第2回,2020/3/1,日,000"},
       "2 draws written, " + ok},
      {"UTF-8 with a byte-order mark",
       {"\xEF\xBB\xBF回別,抽せん日,当選番号", "1,2018/6/12,1", "2,2018/6/13,2"},
       true,
       {},
       {"第1回,2018/6/12,火,001", "第2回,2018/6/13,水,002"},
       "2 draws written, " + ok},
      {"columns given for a header without names",
       {"a,b,c,d", "2018/6/12,x,572,1", "2018/6/13,x,573,2"},
       false,
       ImportColumns{3, 0, 2},
       {"第1回,2018/6/12,火,572", "第2回,2018/6/13,水,573"},
       "2 draws written, " + ok},
      {"duplicates written once, mixed order",
       {"回,日付,本数字", "1,2018/6/12,1", "3,2018/6/14,3", "1,2018/6/12,001", "2,2018/6/13,2"},
       false,
       {},
       {"第1回,2018/6/12,火,001", "第2回,2018/6/13,水,002", "第3回,2018/6/14,木,003"},
       "3 draws written, rounds 1 to 3, 0 rounds missing, 1 repeated line, source in mixed order"},
      {"conflicting duplicates",
       {"回,日付,本数字", "1,2018/6/12,123", "2,2018/6/13,1", "第1回,2018/6/12,124"},
       false,
       {},
       {},
       "4: round 1 is also on line 2 with another draw (2018/6/12 123 there, 2018/6/12 124 "
       "here)"},
      {"a duplicate round with the same number on another date",
       {"回,日付,本数字", "1,2018/6/12,123", "第1回,2018/6/13,123"},
       false,
       {},
       {},
       "3: round 1 is also on line 2 with another draw (2018/6/12 123 there, 2018/6/13 123 "
       "here)"},
      {"a conflict reported before a later bad line",
       {"回,日付,本数字", "1,2018/6/12,123", "1,2018/6/12,124", "2,2018/2/30,1"},
       false,
       {},
       {},
       "3: round 1 is also on line 2 with another draw (2018/6/12 123 there, 2018/6/12 124 "
       "here)"},
      {"a bad line reported before a later conflict",
       {"回,日付,本数字", "1,2018/6/12,123", "2,2018/2/30,1", "1,2018/6/12,124"},
       false,
       {},
       {},
       "3: date \"2018/2/30\" is not a day of the calendar"},
      {"the first conflicting line in the file, whatever the rounds",
       {"回,日付,本数字", "9,2018/6/12,9", "1,2018/6/12,1", "1,2018/6/12,1", "9,2018/6/12,8",
        "1,2018/6/12,2"},
       false,
       {},
       {},
       "5: round 9 is also on line 2 with another draw (2018/6/12 009 there, 2018/6/12 008 "
       "here)"},
      {"Numbers 4: one to four digits, padded to four",
       {"回,日付,本数字", "1,2018/6/12,7", "2,2018/6/13,１２３４", "1,2018/6/12,0007"},
       false,
       {},
       {"第1回,2018/6/12,火,0007", "第2回,2018/6/13,水,1234"},
       "2 draws written, rounds 1 to 2, 0 rounds missing, 1 repeated line, source oldest first",
       Game::kNumbers4},
      {"Numbers 4: a conflict names four digits",
       {"回,日付,本数字", "1,2018/6/12,7", "1,2018/6/12,1007"},
       false,
       {},
       {},
       "3: round 1 is also on line 2 with another draw (2018/6/12 0007 there, 2018/6/12 1007 "
       "here)",
       Game::kNumbers4},
      {"Numbers 4: five digits",
       {"回,日付,本数字", "1,2018/6/12,12345"},
       false,
       {},
       {},
       "2: winning number \"12345\" is not one to four digits",
       Game::kNumbers4},
      {"a date that is not in the calendar",
       {"回,日付,本数字", "1,2019/2/29,1"},
       false,
       {},
       {},
       "2: date \"2019/2/29\" is not a day of the calendar"},
      {"a date of another form",
       {"回,日付,本数字", "1,2018/6/12 0:00,1"},
       false,
       {},
       {},
       "2: date \"2018/6/12 0:00\" is not YYYY/M/D, YYYY-M-D, YYYY年M月D日 or YYYYMMDD"},
      {"a round that is not a number",
       {"回,日付,本数字", "1a,2018/6/12,1"},
       false,
       {},
       {},
       "2: round \"1a\" is not 第N回 or a number"},
      {"a number of four digits",
       {"回,日付,本数字", "1,2018/6/12,1234"},
       false,
       {},
       {},
       "2: winning number \"1234\" is not one to three digits"},
      {"too few fields",
       {"回,日付,本数字", "1,2018/6/12"},
       false,
       {},
       {},
       "2: 2 fields; a draw line needs at least 3"},
      {"a missing column name",
       {"回,日,番号", "1,2018/6/12,1"},
       false,
       {},
       {},
       "1: the header names no column for the date or the winning number (its fields: \"回\", "
       "\"日\", \"番号\")"},
      {"no draw lines",
       {"回,日付,本数字", ""},
       false,
       {},
       {},
       "0: has no draw lines after the header"},
  };
  const TempDir dir;
  const std::string source = dir.File("source.csv");
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(source, SourceBytes(c));
    ImportOptions options;
    options.encoding = c.utf8 ? TextEncoding::kUtf8 : TextEncoding::kCp932;
    options.columns = c.columns;
    options.game = c.game;
    ImportResult result;
    const bool converted = ConvertHistorySource(source, options, result);
    if (c.history.empty()) {
      EXPECT_FALSE(converted);
      EXPECT_EQ(std::to_string(result.line) + ": " + result.reason, c.outcome);
      EXPECT_TRUE(result.draws.empty());
      EXPECT_EQ(result.columnsNotFound, c.outcome.starts_with("1: the header"));
      continue;
    }
    ASSERT_TRUE(converted) << result.line << ": " << result.reason;
    std::vector<std::string> expected = {result.payoutColumns
                                             ? PayoutHistoryHeader(c.game)
                                             : std::string("回別,抽せん日,曜日,当せん番号")};
    expected.insert(expected.end(), c.history.begin(), c.history.end());
    std::string text;
    for (const std::string& line : expected) {
      text += line + "\n";
    }
    EXPECT_EQ(HistoryFileBytes(result.draws, c.game, result.payoutColumns), Utf8ToCp932(text));
    EXPECT_EQ(ImportSummary(result), c.outcome);
  }
}

// A write that fails part-way, after the new file has grown: whatever it did must not show.
ssize_t FailAfterSomeBytes(int fd, const void* data, std::size_t size) {
  if (::write(fd, data, size / 2) < 0) {
    return -1;
  }
  errno = ENOSPC;
  return -1;
}

TEST(HistoryImport, DestinationIsReplacedWholeOrNotAtAll) {
  const TempDir dir;
  const std::string source = WriteHistoryFile(
      dir, {"回別,抽せん日,当せん番号", "1,2018/6/12,572", "2,2018/6/13,573"}, "source.csv");
  ImportResult result;
  ASSERT_TRUE(ConvertHistorySource(source, {}, result));
  const std::string dest = dir.File("dest.csv");
  WriteBytes(dest, "what was there");
  ASSERT_EQ(::chmod(dest.c_str(), 0640), 0);
  const auto entries = [&dir] {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  };
  const std::vector<std::string> before = entries();

  std::string error;
  EXPECT_FALSE(WriteImportedHistory(source, dest, result, error, &FailAfterSomeBytes));
  EXPECT_EQ(error, "cannot write: No space left on device");
  EXPECT_EQ(ReadBytes(dest), "what was there");
  EXPECT_EQ(entries(), before);  // no half-written file left behind

  // The source under another name is still the source.
  const std::string link = dir.File("link.csv");
  ASSERT_EQ(::link(source.c_str(), link.c_str()), 0);
  const std::string sourceBytes = ReadBytes(source);
  EXPECT_FALSE(WriteImportedHistory(source, link, result, error));
  EXPECT_EQ(error, "is the source file itself");
  EXPECT_EQ(ReadBytes(source), sourceBytes);

  ASSERT_TRUE(WriteImportedHistory(source, dest, result, error)) << error;
  EXPECT_EQ(ReadBytes(dest), HistoryFileBytes(result.draws));
  struct stat info {};
  ASSERT_EQ(::stat(dest.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  OwnedHistory loaded;
  EXPECT_EQ(LoadDrawHistory(dest, loaded.get().hundreds, loaded.get().tens, loaded.get().ones, ""),
            kLoadOk);
  EXPECT_EQ(loaded.get().ones.size, 2u);
}

}  // namespace
}  // namespace tolvane::test
