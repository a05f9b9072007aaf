#include "history/history_import.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <tuple>
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
  // The history's draw lines and the summary before its columns; without lines, "LINE: REASON"
  // of the failure.
  std::vector<std::string> history;
  std::string outcome;
  Game game = Game::kNumbers3;
  std::string mapping = {};  // the summary's columns, when given
  bool found = false;        // no encoding given: found from the bytes
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
       "first",
       Game::kNumbers3,
       "columns: round=No, date=抽選日, number=当選数字, straight=金額[STR], box=金額[BOX], "
       "set-straight=金額[SET-STR], set-box=金額[SET-BOX], mini=金額[ミニ]"},
      {"English names, prize and winner-count columns, a list and weekdays, UTF-8 found",
       {"draw_date,draw_number,winning_number,ストレート口数,ストレート賞金,ボックス口数,"
        "ボックス賞金,セット(ストレート)口数,セット(ストレート)賞金,セット(ボックス)口数,"
        "セット(ボックス)賞金,ミニ口数,ミニ賞金",
        "2025/12/08(月),6873,\"[1, 9, 1]\",12,\"98,000\",40,\"32,600\",30,\"65,300\",50,"
        "\"16,300\",90,\"9,800\"",
        "2025/12/05（金曜日）,6872,7 7 7,15,\"90,000\",0,0,0,0,0,0,50,\"9,000\""},
       true,
       {},
       {"第6872回,2025/12/5,金,777,90000,,,,9000",
        "第6873回,2025/12/8,月,191,98000,32600,65300,16300,9800"},
       "2 draws written, rounds 6872 to 6873, 0 rounds missing, 0 repeated lines, source newest "
       "first, read as UTF-8",
       Game::kNumbers3,
       "columns: round=draw_number, date=draw_date, number=winning_number, "
       "straight=ストレート賞金, "
       "box=ボックス賞金, set-straight=セット(ストレート)賞金, set-box=セット(ボックス)賞金, "
       "mini=ミニ賞金",
       true},
      {"English payout names in another order, a unit, no mini, code page 932 found",
       {"Round,Date,Number,Box Prize,straight_prize,SET-BOX,set_straight_yen,straight_winners",
        "1,2025-12-08,1-2-3,100,200,300,400,7"},
       false,
       {},
       {"第1回,2025/12/8,月,123,200,100,400,300,"},
       "1 draw written, rounds 1 to 1, 0 rounds missing, 0 repeated lines, source oldest first",
       Game::kNumbers3,
       "columns: round=Round, date=Date, number=Number, straight=straight_prize, box=Box Prize, "
       "set-straight=set_straight_yen, set-box=SET-BOX",
       true},
      {"Japanese prize words, full-width amounts, a byte-order mark before ASCII found as UTF-8",
       {"\xEF\xBB\xBF抽せん日,回号,当せん番号,ストレート払戻金,ボックス当せん金,"
        "セットのボックス賞金額,"
        "ミニ配当",
        "2018/6/12,1,123,９８，０００,,,９８００"},
       true,
       {},
       {"第1回,2018/6/12,火,123,98000,,,,9800"},
       "1 draw written, rounds 1 to 1, 0 rounds missing, 0 repeated lines, source oldest first, "
       "read as UTF-8",
       Game::kNumbers3,
       "columns: round=回号, date=抽せん日, number=当せん番号, straight=ストレート払戻金, "
       "box=ボックス当せん金, set-box=セットのボックス賞金額, mini=ミニ配当",
       true},
      {"a byte-order mark means UTF-8, whatever follows",
       {"\xEF\xBB\xBFround,date,number", "1,2018/6/12,\xFF"},
       true,
       {},
       {},
       "2: bytes that are not UTF-8",
       Game::kNumbers3,
       "",
       true},
      {"a repeated line fills in a payout the first did not know",
       {"回,日付,本数字,金額[BOX]", "1,2018/6/12,1,", "1,2018/6/12,1,36928"},
       false,
       {},
       {"第1回,2018/6/12,火,001,,36928,,,"},
       "1 draw written, rounds 1 to 1, 0 rounds missing, 1 repeated line, source oldest first"},
      {"a repeated line with another payout",
       {"回,日付,本数字,金額[BOX]", "1,2018/6/12,1,36928", "1,2018/6/12,1,36929"},
       false,
       {},
       {},
       "3: round 1 is also on line 2 with another payout (ボックス 36928 there, 36929 here)"},
      {"a payout above the largest",
       {"回,日付,本数字,金額[STR]", "1,2018/6/12,1,4294967296"},
       false,
       {},
       {},
       "2: payout \"4294967296\" in column ストレート is above the largest amount, 4294967295 yen"},
      {"a weekday that is not the date's",
       {"回,日付,本数字", "1,2025/12/09(月),1"},
       false,
       {},
       {},
       "2: date \"2025/12/09(月)\" names another day of the week than its own"},
      {"a list of too few digits",
       {"回,日付,本数字", "1,2018/6/12,\"[1, 9]\""},
       false,
       {},
       {},
       "2: winning number \"[1, 9]\" is not one to three digits"},
      {"Numbers 4: a mini column is not read",
       {"回,日付,本数字,ストレート,ミニ", "1,2018/6/12,1234,900000,9000"},
       false,
       {},
       {"第1回,2018/6/12,火,1234,900000,,,"},
       "1 draw written, rounds 1 to 1, 0 rounds missing, 0 repeated lines, source oldest first",
       Game::kNumbers4,
       "columns: round=回, date=日付, number=本数字, straight=ストレート"},
      {"Numbers 4: a mini column alone gives no payout columns",
       {"回,日付,本数字,ミニ", "1,2018/6/12,1234,9000"},
       false,
       {},
       {"第1回,2018/6/12,火,1234"},
       "1 draw written, rounds 1 to 1, 0 rounds missing, 0 repeated lines, source oldest first",
       Game::kNumbers4,
       "columns: round=回, date=日付, number=本数字"},
      {"payouts by their other names, separators and unknowns; a kind's first column read",
       {"回,日付,本数字,ストレート賞金額,セットのボックス,ストレート",
        "1,2018/6/12,1,\"90,000\",該当なし,5", "2,2018/6/13,2,-,7500,6"},
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
      {"a payout whose last group is short",
       {"回,日付,本数字,金額[BOX]", "1,2018/6/12,1,\"52,50\""},
       false,
       {},
       {},
       "2: payout \"52,50\" in column ボックス is not an amount of yen"},
      {"a payout whose last group is long",
       {"回,日付,本数字,金額[BOX]", "1,2018/6/12,1,\"1,2345\""},
       false,
       {},
       {},
       "2: payout \"1,2345\" in column ボックス is not an amount of yen"},
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
       "2 draws written, " + ok,
       Game::kNumbers3,
       "columns: round=d, date=a, number=c"},
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
      {"text only past the fields read: not a blank line",
       {"回,日付,本数字", ",,,,x"},
       false,
       {},
       {},
       "2: round \"\" is not 第N回 or a number"},
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
      {"a NUL in a draw line: the header, with its commas, still read as text",
       {"回,日付,本数字", std::string("1,2018/6/12,\0", 13)},
       false,
       {},
       {},
       "2: winning number \"\\x00\" is not one to three digits"},
      {"a picture: its header's bytes escaped, never decoded to mojibake",
       {"\x89PNG", "\x1a", std::string("\0\0\0\rIHDR", 8)},
       true,
       {},
       {},
       "1: the header names no column for the round, the date or the winning number (its "
       "fields: \"\\x89PNG\\x0d\")"},
  };
  const TempDir dir;
  const std::string source = dir.File("source.csv");
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(source, SourceBytes(c));
    ImportOptions options;
    options.encoding = c.utf8 ? TextEncoding::kUtf8 : TextEncoding::kCp932;
    if (c.found) {
      options.encoding.reset();
    }
    options.columns = c.columns;
    options.game = c.game;
    ImportResult result;
    const bool converted = ConvertHistorySource(source, options, result);
    if (options.encoding) {  // the file's bytes in memory convert alike
      ImportResult fromBytes;
      EXPECT_EQ(ConvertHistoryBytes(ReadBytes(source), options, fromBytes), converted);
      EXPECT_EQ(std::tie(fromBytes.line, fromBytes.reason), std::tie(result.line, result.reason));
      EXPECT_EQ(fromBytes.draws.size(), result.draws.size());
      // Keeping only the last line's draw of an oldest-first source checks every line alike.
      options.lastDrawOnly = true;
      if (converted && result.order == SourceOrder::kOldestFirst && result.repeatedLines == 0) {
        ASSERT_TRUE(ConvertHistoryBytes(ReadBytes(source), options, fromBytes));
        ASSERT_EQ(fromBytes.draws.size(), 1u);
        EXPECT_EQ(fromBytes.draws[0].line, result.draws.back().line);
        EXPECT_EQ(fromBytes.allThreeDigitNumbers, result.allThreeDigitNumbers);
      }
    }
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
    const std::string summary = ImportSummary(result);
    const std::size_t columns = summary.find("; columns: ");
    EXPECT_EQ(summary.substr(0, columns), c.outcome);
    if (!c.mapping.empty()) {
      EXPECT_EQ(summary.substr(columns + 2), c.mapping);
    }
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
