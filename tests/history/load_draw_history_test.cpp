// The loader as its callers see it: results, series, the trace it leaves in the log, and the
// all-or-nothing promise. Each table row runs twice, once with a log and once without.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "history/draw_history.h"
#include "history/draw_history_loader.h"
#include "tests/support/history_file.h"
#include "tests/support/temp_dir.h"

namespace tolvane::test {
namespace {

using Draw = std::array<double, 4>;  // the game's places, highest first; a fourth 0 with three

constexpr const char* kHeader = "回別,抽せん日,曜日,当せん番号\n";

struct LoadCase {
  const char* name;
  std::string text;     // UTF-8, written in code page 932
  std::string rawTail;  // bytes appended as they are (broken encodings)
  std::int32_t result;
  std::vector<Draw> draws;  // on success
  // What a failed load's log ends with, or a passage a good load's log holds; "{path}" stands
  // for the history file's path.
  std::string log;
  Game game = Game::kNumbers3;
  // Numbers 3: the first line with a winning number longer than three characters, and how many
  // were exactly four digits.
  std::uint64_t longNumberLine = 0;
  std::uint64_t fourDigitNumbers = 0;
};

void PrintTo(const LoadCase& row, std::ostream* out) { *out << row.name; }

std::string Header(const std::string& drawLines) { return kHeader + drawLines; }

std::string Repeated(const std::string& text, std::size_t times) {
  std::string out;
  for (std::size_t i = 0; i < times; ++i) {
    out += text;
  }
  return out;
}

// A draw line of exactly `bytes` bytes in code page 932 (line end not counted): 第1回 is five.
std::string LineOfBytes(std::size_t bytes) {
  const std::string draw = "第1回,2018/6/12,X,072,";
  return draw + std::string(bytes - (draw.size() - 2), 'y');
}

std::string LineError(const std::string& own, const std::string& line, const std::string& why) {
  return own + "Error processing line: " + line + "\nException: " + why + "\n";
}

const std::vector<LoadCase>& Cases() {
  static const std::vector<LoadCase> cases = {
      // Accepted files.
      {"HeaderOnly", kHeader, "", 0, {}, ""},
      {"HeaderWithoutLineFeed", "header", "", 0, {}, ""},
      {"HeaderIsNeverRead",
       "第1回,2018/6/12,X,111\n第2回,2018/6/13,X,222\n",
       "",
       0,
       {{2, 2, 2}},
       "Converted round number to integer: 2\n"},
      {"NoFinalLineFeed", Header("第1回,2018/6/12,X,072"), "", 0, {{0, 7, 2}}, ""},
      {"CrLf",
       "header\r\n第1回,2018/6/12,月,123\r\n第2回,2018/6/13,火,456\r\n",
       "",
       0,
       {{1, 2, 3}, {4, 5, 6}},
       "Processing line: 第2回,2018/6/13,火,456\n"},
      {"CarriageReturnsInsideFields",
       Header("第1\r回,2018/6/\r12,X,1\r23\r\n"),
       "",
       0,
       {{1, 2, 3}},
       ""},
      {"QuotedFields",
       Header("\"第1回\",\"2018/6/12\",\"X\",\"072\"\n"),
       "",
       0,
       {{0, 7, 2}},
       "Processing line: \"第1回\",\"2018/6/12\",\"X\",\"072\"\n"},
      {"QuotedCommaStaysInItsField",
       Header("第1回,2018/6/12,\"a,b\",072\n"),
       "",
       0,
       {{0, 7, 2}},
       ""},
      {"QuotesAnywhereAreDropped",
       Header("第1\"\"回,20\"18/6/1\"2,X,0\"7\"2\n"),
       "",
       0,
       {{0, 7, 2}},
       "Extracting round number from: 第1回\n"},
      {"ExtraFieldsIgnored",
       Header("第1回,2018/6/12,X,072,junk,\"more\"\n"),
       "",
       0,
       {{0, 7, 2}},
       ""},
      {"ShortNumbersArePadded",
       Header("第1回,2018/6/12,X,7\n第2回,2018/6/12,X,72\n"),
       "",
       0,
       {{0, 0, 7}, {0, 7, 2}},
       ""},
      {"LongNumberKeepsFirstThree",
       Header("第1回,2018/6/12,X,0721\n第2回,2018/6/12,X,123x\n第3回,2018/6/12,X,\"5678\"\n"),
       "",
       0,
       {{0, 7, 2}, {1, 2, 3}, {5, 6, 7}},
       "",
       Game::kNumbers3,
       2,
       2},
      // Numbers 4: four places, short numbers padded to four, longer ones refused.
      {"FourDigitNumbers",
       Header("第1回,2018/6/12,X,1234\n第2回,2018/6/12,X,7\r\n第3回,2018/6/12,X,\"0985\"\n"),
       "",
       0,
       {{1, 2, 3, 4}, {0, 0, 0, 7}, {0, 9, 8, 5}},
       "Converted round number to integer: 3\n",
       Game::kNumbers4},
      {"FiveDigitNumberIsNoNumbers4Number",
       Header("第1回,2018/6/12,X,1234\n第2回,2018/6/12,X,12345\n"),
       "",
       kLoadFailed,
       {},
       LineError("Error: Invalid winning number format: 12345\n", "第2回,2018/6/12,X,12345",
                 "Invalid winning number format"),
       Game::kNumbers4},
      {"RoundIsALeadingSignedInteger",
       Header("第 12回,2018/6/12,X,1\n第12a回,2018/6/12,X,2\n第+3回,2018/6/12,X,3\n"
              "第-2147483648回,2018/6/12,X,4\n第2147483647回,2018/6/12,X,5\n"),
       "",
       0,
       {{0, 0, 1}, {0, 0, 2}, {0, 0, 3}, {0, 0, 4}, {0, 0, 5}},
       "Converted round number to integer: 2147483647\n"},
      {"DatesAreNotRangeChecked",
       Header("第1回,2018/06/12,X,1\n第2回,2018/13/45,X,2\n"),
       "",
       0,
       {{0, 0, 1}, {0, 0, 2}},
       ""},
      {"FileOrderKept",
       Header("第9回,2018/6/12,X,900\n第1回,2017/1/1,X,010\n第5回,2019/1/1,X,005\n"),
       "",
       0,
       {{9, 0, 0}, {0, 1, 0}, {0, 0, 5}},
       ""},

      // Refused files.
      {"EmptyFile",
       "",
       "",
       kLoadFailed,
       {},
       "Error: Unable to read header line from file {path}\n"},
      {"BlankLineAfterHeader",
       Header("\n第1回,2018/6/12,X,072\n"),
       "",
       kLoadFailed,
       {},
       "Processing line: \nError: Line does not have enough fields: \n"},
      {"BlankLineAtEnd",
       Header("第1回,2018/6/12,X,072\n\n"),
       "",
       kLoadFailed,
       {},
       "Error: Line does not have enough fields: \n"},
      {"ThreeFields",
       Header("第1回,2018/6/12,072\n"),
       "",
       kLoadFailed,
       {},
       "Processing line: 第1回,2018/6/12,072\n"
       "Error: Line does not have enough fields: 第1回,2018/6/12,072\n"},
      {"QuotedCommaLeavesTooFewFields",
       Header("\"第1回,2018/6/12\",X,072\n"),
       "",
       kLoadFailed,
       {},
       "Error: Line does not have enough fields: \"第1回,2018/6/12\",X,072\n"},
      {"QuoteOpenedInTheThirdFieldLeavesTooFewFields",
       Header("第1回,2018/6/12,X,072\n第2回,2000/1/2,\"x,121\n"),
       "",
       kLoadFailed,
       {},
       "Error: Line does not have enough fields: 第2回,2000/1/2,\"x,121\n"},
      {"RoundTooShort",
       Header("第回,2018/6/12,X,072\n"),
       "",
       kLoadFailed,
       {},
       LineError("Error: Invalid round number format: 第回\n", "第回,2018/6/12,X,072",
                 "Invalid round number format")},
      {"RoundWithSpaceBefore",
       Header(" 第1回,2018/6/12,X,072\n"),
       "",
       kLoadFailed,
       {},
       "Front character: 32 (32)\nBack character: 22238 (22238)\n"
       "Error: Invalid round number format:  第1回\n"
       "Error processing line:  第1回,2018/6/12,X,072\nException: Invalid round number format\n"},
      {"EmptyRound",
       Header(",2018/6/12,X,072\n"),
       "",
       kLoadFailed,
       {},
       LineError("Front character: 0 (0)\nBack character: 0 (0)\n"
                 "Error: Invalid round number format: \n",
                 ",2018/6/12,X,072", "Invalid round number format")},
      {"RoundWithoutDigits",
       Header("第X回,2018/6/12,X,072\n"),
       "",
       kLoadFailed,
       {},
       LineError("Converted round number to integer: X\n", "第X回,2018/6/12,X,072",
                 "invalid stoi argument")},
      {"RoundInFullWidthDigits",
       Header("第１２回,2018/6/12,X,072\n"),
       "",
       kLoadFailed,
       {},
       LineError("", "第１２回,2018/6/12,X,072", "invalid stoi argument")},
      {"RoundOutOfRange",
       Header("第9999999999回,2018/6/12,X,072\n"),
       "",
       kLoadFailed,
       {},
       LineError("", "第9999999999回,2018/6/12,X,072", "stoi argument out of range")},
      {"RoundJustOutOfRange",
       Header("第-2147483649回,2018/6/12,X,072\n"),
       "",
       kLoadFailed,
       {},
       LineError("", "第-2147483649回,2018/6/12,X,072", "stoi argument out of range")},
      {"DateWithDashes",
       Header("第1回,2018-06-12,X,072\n"),
       "",
       kLoadFailed,
       {},
       LineError("Error: Invalid date format: 2018-06-12\n", "第1回,2018-06-12,X,072",
                 "Invalid date format")},
      {"DateWithTrailingSpace",
       Header("第1回,2018/6/12 ,X,072\n"),
       "",
       kLoadFailed,
       {},
       LineError("Error: Invalid date format: 2018/6/12 \n", "第1回,2018/6/12 ,X,072",
                 "Invalid date format")},
      {"DateInFullWidthDigits",
       Header("第1回,２０１８/6/12,X,072\n"),
       "",
       kLoadFailed,
       {},
       LineError("Error: Invalid date format: ２０１８/6/12\n", "第1回,２０１８/6/12,X,072",
                 "Invalid date format")},
      {"EmptyWinningNumber",
       Header("第1回,2018/6/12,X,\n"),
       "",
       kLoadFailed,
       {},
       LineError("Error: Invalid winning number format: \n", "第1回,2018/6/12,X,",
                 "Invalid winning number format")},
      {"WinningNumberWithSpace",
       Header("第1回,2018/6/12,X,7 2\n"),
       "",
       kLoadFailed,
       {},
       LineError("Error: Invalid winning number format: 7 2\n", "第1回,2018/6/12,X,7 2",
                 "Invalid winning number format")},
      {"WinningNumberInFullWidthDigits",
       Header("第1回,2018/6/12,X,０７２\n"),
       "",
       kLoadFailed,
       {},
       LineError("Error: Invalid winning number format: ０７２\n", "第1回,2018/6/12,X,０７２",
                 "Invalid winning number format")},
      {"PaddedNonDigit",
       Header("第1回,2018/6/12,X,a\n"),
       "",
       kLoadFailed,
       {},
       LineError("Error: Invalid winning number format: a\n", "第1回,2018/6/12,X,a",
                 "Invalid winning number format")},
      {"BadLineInTheMiddle",
       Header("第1回,2018/6/12,X,111\n第2回,2018/6/13,X,2x2\n第3回,2018/6/14,X,333\n"),
       "",
       kLoadFailed,
       {},
       "Processing line: 第2回,2018/6/13,X,2x2\n"
       "Extracting round number from: 第2回\nFront character: 31532 (31532)\n"
       "Back character: 22238 (22238)\nConverted round number to integer: 2\n"
       "Error: Invalid winning number format: 2x2\n"
       "Error processing line: 第2回,2018/6/13,X,2x2\nException: Invalid winning number format\n"},

      // Bytes that code page 932 cannot decode fail the load with the line that holds them.
      {"UndecodableByte",
       Header("第1回,2018/6/12,X,072\n第2回,2018/6/12,"),
       "\x80,072\n",
       kLoadFailed,
       {},
       "Converted round number to integer: 1\n"
       "Error during file processing: invalid code page 932 byte sequence at line 3\n"},
      // The header is passed over as bytes: whatever it holds, it is never decoded.
      {"UndecodableHeader",
       "",
       "\xA0header\xFF\n\x91\xE6"
       "1\x89\xF1,2018/6/12,X,072\n",
       0,
       {{0, 7, 2}},
       "Processing line: 第1回,2018/6/12,X,072\n"},
      {"ByteOrderMarkInTheHeader",
       "",
       "\xEF\xBB\xBFheader\n\x91\xE6"
       "1\x89\xF1,2018/6/12,X,072\n",
       0,
       {{0, 7, 2}},
       ""},
      // No line may hold more than 1 MiB, the header included, so no input exhausts memory.
      {"HeaderLongerThanTheLimit",
       std::string(std::size_t{1} << 20, 'h') + "x\n第1回,2018/6/12,X,072\n",
       "",
       kLoadFailed,
       {},
       "Error during file processing: line 1 is longer than 1048576 bytes\n"},
      {"DrawLineLongerThanTheLimit",
       Header("第1回,2018/6/12,X,072\n第2回,2018/6/12,X,072" +
              std::string(std::size_t{1} << 20, ' ')),
       "",
       kLoadFailed,
       {},
       "Error during file processing: line 3 is longer than 1048576 bytes\n"},
      {"HeaderOfExactlyTheLimit",
       std::string(std::size_t{1} << 20, 'h') + "\n第1回,2018/6/12,X,072\n",
       "",
       0,
       {{0, 7, 2}},
       ""},
      {"DrawLineOfExactlyTheLimit",
       Header(LineOfBytes(std::size_t{1} << 20) + "\n" + LineOfBytes(std::size_t{1} << 20)),
       "",
       0,
       {{0, 7, 2}, {0, 7, 2}},
       ""},
      // The limit counts a line without its line end, CR LF as LF.
      {"HeaderOfExactlyTheLimitWithCrLf",
       std::string(std::size_t{1} << 20, 'h') + "\r\n第1回,2018/6/12,X,072\r\n",
       "",
       0,
       {{0, 7, 2}},
       ""},
      {"DrawLinesOfExactlyTheLimitWithCrLf",
       Header(LineOfBytes(std::size_t{1} << 20) + "\r\n" + LineOfBytes(std::size_t{1} << 20) +
              "\r\n"),
       "",
       0,
       {{0, 7, 2}, {0, 7, 2}},
       ""},
      {"DrawLineOneByteOverTheLimitWithCrLf",
       Header(LineOfBytes((std::size_t{1} << 20) + 1) + "\r\n"),
       "",
       kLoadFailed,
       {},
       "Error during file processing: line 2 is longer than 1048576 bytes\n"},
      {"DrawLineOneByteOverTheLimit",
       Header(LineOfBytes((std::size_t{1} << 20) + 1) + "\n"),
       "",
       kLoadFailed,
       {},
       "Error during file processing: line 2 is longer than 1048576 bytes\n"},
      {"LastLineOneByteOverTheLimit",
       Header("第1回,2018/6/12,X,072\n" + LineOfBytes((std::size_t{1} << 20) + 1)),
       "",
       kLoadFailed,
       {},
       "Error during file processing: line 3 is longer than 1048576 bytes\n"},
      {"CarriageReturnsAlone",
       "header\r第1回,2018/6/12,X,123\r第2回,2018/6/12,X,456\r",
       "",
       kLoadFailed,
       {},
       "Error during file processing: its lines end in a carriage return (CR) alone; convert "
       "them to LF or CR LF line ends\n"},
      {"CarriageReturnsAloneBeyondTheLineLimit",
       "header\r" + Repeated("第1回,2018/6/12,X,123\r", 60000),
       "",
       kLoadFailed,
       {},
       "Error during file processing: its lines end in a carriage return (CR) alone; convert "
       "them to LF or CR LF line ends\n"},
      {"LeadByteBeforeLineFeed",
       Header(""),
       "\x91\n第1回,2018/6/12,X,072\n",
       kLoadFailed,
       {},
       "Error during file processing: invalid code page 932 byte sequence at line 2\n"},
      {"LeadByteAtEndOfFile",
       Header("第1回,2018/6/12,X,072\n"),
       "\x91",
       kLoadFailed,
       {},
       "Error during file processing: invalid code page 932 byte sequence at line 3\n"},
      {"EarlierBadLineWinsOverLaterBadBytes",
       Header("第1回,2018/6/12,X,\n第2回,"),
       "\xFF\n",
       kLoadFailed,
       {},
       "Exception: Invalid winning number format\n"},
  };
  return cases;
}

// Records already holding data, so that "untouched" and "replaced" can both be seen.
OwnedHistory Prefilled() {
  OwnedHistory history;
  for (WAData* record : {&history->hundreds, &history->tens, &history->ones, &history->thousands}) {
    *record = WAData{new double[2]{-1.0, -2.0}, 2, 7};
  }
  return history;
}

std::int32_t Load(DrawHistory& h, const std::string& path, const std::string& logPath) {
  return LoadDrawHistory(path, h.hundreds, h.tens, h.ones, logPath);
}

// Numbers 3 through the three records, as ever; Numbers 4 through the whole history.
std::int32_t Load(DrawHistory& h, const std::string& path, const std::string& logPath, Game game,
                  LoadReport& report) {
  return game == Game::kNumbers3
             ? LoadDrawHistory(path, h.hundreds, h.tens, h.ones, logPath, &report)
             : LoadDrawHistory(path, h, logPath, &report, {TextEncoding::kCp932, game});
}

// Prefilled records after a failed load: the same arrays, holding the same values.
void ExpectUntouched(const DrawHistory& h, const DrawHistory& before) {
  for (auto [now, was] : {std::pair{h.hundreds, before.hundreds},
                          {h.tens, before.tens},
                          {h.ones, before.ones},
                          {h.thousands, before.thousands}}) {
    EXPECT_EQ(now.data, was.data);
    EXPECT_EQ(now.size, 2u);
    EXPECT_EQ(now.rate, 7u);
    EXPECT_EQ(now.data[0], -1.0);
    EXPECT_EQ(now.data[1], -2.0);
  }
}

std::vector<Draw> Draws(const DrawHistory& h) {
  std::vector<Draw> draws;
  const std::array<const WAData*, kMaxPlaces> places = PlaceSeries(h);
  for (std::uint32_t i = 0; i < DrawCount(h); ++i) {
    Draw& draw = draws.emplace_back();
    for (std::size_t p = 0; p < static_cast<std::size_t>(PlaceCount(h.game)); ++p) {
      draw[p] = places[p]->data[i];
    }
  }
  return draws;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

class LoadDrawHistoryTable : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadDrawHistoryTable, LoadsOrRefusesWholeFile) {
  const LoadCase& row = GetParam();
  const TempDir dir;
  const std::string path = dir.File("history.csv");
  WriteBytes(path, Utf8ToCp932(row.text) + row.rawTail);
  const std::string logPath = dir.File("trace.log");

  for (const bool logged : {true, false}) {
    SCOPED_TRACE(logged ? "with log" : "without log");
    OwnedHistory history = Prefilled();
    const DrawHistory before = history.get();
    ::testing::internal::CaptureStderr();
    LoadReport report;
    const std::int32_t result = Load(history.get(), path, logged ? logPath : "", row.game, report);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    ASSERT_EQ(result, row.result);
    if (result == kLoadOk) {
      EXPECT_EQ(history->game, row.game);
      EXPECT_EQ(Draws(history.get()), row.draws);
      const std::array<WAData*, kMaxPlaces> places = PlaceSeries(history.get());
      for (int p = 0; p < PlaceCount(row.game); ++p) {
        const WAData& record = *places[static_cast<std::size_t>(p)];
        EXPECT_NE(record.data, nullptr);
        EXPECT_EQ(record.size, row.draws.size());
        EXPECT_EQ(record.rate, 1u);
      }
      EXPECT_EQ(report.firstLongNumberLine, row.longNumberLine);
      EXPECT_EQ(report.fourDigitNumbers, row.fourDigitNumbers);
    } else {
      ExpectUntouched(history.get(), before);
    }
  }
  // The same bytes already in memory are checked alike, and no series is kept.
  LoadReport fromFile;
  LoadReport fromBytes;
  OwnedHistory loaded;
  ASSERT_EQ(Load(loaded.get(), path, "", row.game, fromFile), row.result);
  const LoadOptions options{TextEncoding::kCp932, row.game};
  EXPECT_EQ(CheckDrawHistoryBytes(ReadBytes(path), &fromBytes, options), row.result);
  EXPECT_EQ(std::tie(fromBytes.line, fromBytes.reason, fromBytes.draws, fromBytes.fourDigitNumbers),
            std::tie(fromFile.line, fromFile.reason, fromFile.draws, fromFile.fourDigitNumbers));
  // Only the logged run may have created anything next to the history file.
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    ++files;
  }
  EXPECT_EQ(files, 2u);
  const std::string log = ReadBytes(logPath);
  const std::string expected = ReplaceAll(row.log, "{path}", path);
  if (row.result == kLoadOk) {
    EXPECT_NE(log.find(expected), std::string::npos) << log << "lacks:\n" << expected;
    EXPECT_EQ(log.find("Error"), std::string::npos) << log;
  } else {
    EXPECT_TRUE(log.ends_with(expected)) << log << "does not end with:\n" << expected;
  }
}

INSTANTIATE_TEST_SUITE_P(Files, LoadDrawHistoryTable, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LoadDrawHistory, TracesEveryGoodLineInFull) {
  const TempDir dir;
  const std::string path = WriteHistoryFile(dir, {"回別,日付", "第5000回,2018/6/12,X,072"});
  const std::string logPath = dir.File("trace.log");
  WriteBytes(logPath, "earlier run\n");
  OwnedHistory history = Prefilled();
  ASSERT_EQ(Load(history.get(), path, logPath), kLoadOk);
  EXPECT_EQ(ReadBytes(logPath),
            "earlier run\n"
            "Processing line: 第5000回,2018/6/12,X,072\n"
            "Extracting round number from: 第5000回\n"
            "Front character: 31532 (31532)\n"
            "Back character: 22238 (22238)\n"
            "Converted round number to integer: 5000\n");
}

TEST(LoadDrawHistory, HistoryFileThatCannotBeOpened) {
  const TempDir dir;
  const std::string logPath = dir.File("trace.log");
  for (const std::string& path : {dir.File("missing.csv"), dir.path().string()}) {
    OwnedHistory history = Prefilled();
    const DrawHistory before = history.get();
    EXPECT_EQ(Load(history.get(), path, logPath), kLoadCannotOpen) << path;
    ExpectUntouched(history.get(), before);
    EXPECT_TRUE(ReadBytes(logPath).ends_with("Error: Unable to open file " + path + "\n"));
  }
}

TEST(LoadDrawHistory, UnusableLogPathFailsBeforeReading) {
  const TempDir dir;
  const std::string path = WriteHistoryFile(dir, {"h", "第1回,2018/6/12,X,072"});
  for (const std::string& logPath : {dir.path().string(), dir.File("no/such/dir/trace.log")}) {
    OwnedHistory history = Prefilled();
    const DrawHistory before = history.get();
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Load(history.get(), path, logPath), kLoadCannotOpen);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Error: Unable to open log file " + logPath + "\n");
    ExpectUntouched(history.get(), before);
  }
}

TEST(LoadDrawHistory, MissingDecoderFailsEveryLoad) {
  const TempDir dir;
  const std::string logPath = dir.File("trace.log");
  const auto noDecoder = []() -> std::unique_ptr<Cp932Decoder> { return nullptr; };
  const std::string good = WriteHistoryFile(dir, {"h", "第1回,2018/6/12,X,072"});
  for (const std::string& path : {good, dir.File("missing.csv")}) {
    OwnedHistory history = Prefilled();
    const DrawHistory before = history.get();
    EXPECT_EQ(LoadDrawHistoryUsing(noDecoder, path, history->hundreds, history->tens, history->ones,
                                   logPath),
              kLoadFailed);
    ExpectUntouched(history.get(), before);
  }
  EXPECT_EQ(ReadBytes(logPath),
            "Error during file processing: bad locale name\n"
            "Error during file processing: bad locale name\n");
}

TEST(LoadDrawHistory, ReadErrorIsAFailureNotAnEarlyEnd) {
  // Reading this file's first page fails with an I/O error: the load must not pass as empty.
  const std::string path = "/proc/self/mem";
  if (!std::filesystem::exists(path)) {
    GTEST_SKIP() << path << " is not available";
  }
  const TempDir dir;
  const std::string logPath = dir.File("trace.log");
  OwnedHistory history = Prefilled();
  const DrawHistory before = history.get();
  EXPECT_EQ(Load(history.get(), path, logPath), kLoadFailed);
  ExpectUntouched(history.get(), before);
  EXPECT_TRUE(ReadBytes(logPath).starts_with("Error during file processing: unable to read"));
}

// Files larger than one read, with lines across read boundaries and longer than a read.
TEST(LoadDrawHistory, LargeFilesAndLongLines) {
  const TempDir dir;
  std::string text = kHeader;
  const int draws = 40000;
  for (int i = 1; i <= draws; ++i) {
    const std::string weekday = i == 20000 ? std::string(700000, 'x') : "月曜日";
    text += "第" + std::to_string(i) + "回,2018/6/12," + weekday + "," + std::to_string(i % 1000) +
            "\r\n";
  }
  const std::string path = dir.File("big.csv");
  WriteBytes(path, Utf8ToCp932(text));
  OwnedHistory history = Prefilled();
  ASSERT_EQ(Load(history.get(), path, ""), kLoadOk);
  const std::vector<Draw> loaded = Draws(history.get());
  ASSERT_EQ(loaded.size(), static_cast<std::size_t>(draws));
  for (int i = 1; i <= draws; ++i) {
    const int n = i % 1000;  // short numbers are padded, so these are its three digits
    const int hundreds = n / 100;
    const int tens = n / 10 % 10;
    const Draw expected = {double(hundreds), double(tens), double(n % 10)};
    ASSERT_EQ(loaded[i - 1], expected) << "draw " << i;
  }

  // A bad byte far into the file names its own line, and nothing is kept.
  WriteBytes(path, Utf8ToCp932(text) + "\xFD\n");
  const std::string logPath = dir.File("trace.log");
  OwnedHistory refused = Prefilled();
  const DrawHistory before = refused.get();
  EXPECT_EQ(Load(refused.get(), path, logPath), kLoadFailed);
  ExpectUntouched(refused.get(), before);
  EXPECT_TRUE(ReadBytes(logPath).ends_with("at line " + std::to_string(draws + 2) + "\n"));
}

// The bundled sample is what a first run loads; it must keep loading in full.
TEST(LoadDrawHistory, BundledSampleLoads) {
  OwnedHistory history = Prefilled();
  ASSERT_EQ(Load(history.get(), TOLVANE_SAMPLE_HISTORY, ""), kLoadOk);
  const std::vector<Draw> draws = Draws(history.get());
  ASSERT_EQ(draws.size(), 6500u);
  EXPECT_EQ(draws.front(), (Draw{1, 2, 0}));
  EXPECT_EQ(draws.back(), (Draw{0, 9, 2}));
}

// The loader's decoder gives what plain iconv gives, down to the log's bytes: the fuzz corpus,
// and a file of several read runs whose bad byte (or lead byte cut off) comes late. A load
// without a log, which judges plain lines from their bytes, gives the same again.
TEST(LoadDrawHistory, TableDecoderLoadsExactlyAsPlainIconv) {
  const TempDir dir;
  std::vector<std::string> paths;
  for (const auto& entry : std::filesystem::directory_iterator(TOLVANE_HISTORY_CORPUS)) {
    paths.push_back(entry.path().string());
  }
  std::string longText = kHeader;
  for (int i = 1; i <= 9000; ++i) {
    longText += "第" + std::to_string(i) + "回,2018/6/12,金," + std::to_string(i % 1000) + "\n";
  }
  const std::string cp932 = Utf8ToCp932(longText);
  for (const std::string& tail :
       {std::string(), std::string("\x91\xE6\x80\n"), std::string("\x91")}) {
    paths.push_back(dir.File("long" + std::to_string(paths.size()) + ".csv"));
    WriteBytes(paths.back(), cp932 + tail);
  }
  for (const std::string& path : paths) {
    struct Outcome {
      std::int32_t result;
      LoadReport report;
      std::vector<Draw> draws;
      std::string log;
    };
    const auto load = [&](Cp932DecoderFactory factory, const std::string& logName) {
      OwnedHistory history;
      Outcome outcome;
      const std::string logPath = logName.empty() ? "" : dir.File(logName);
      outcome.result = LoadDrawHistoryUsing(factory, path, history->hundreds, history->tens,
                                            history->ones, logPath, &outcome.report);
      outcome.draws = Draws(history.get());
      outcome.log = logName.empty() ? "" : ReadBytes(logPath);
      return outcome;
    };
    const Outcome table = load(&Cp932Decoder::Open, "table.log");
    const Outcome iconv = load(&Cp932Decoder::OpenIconvOnly, "iconv.log");
    const Outcome unlogged = load(&Cp932Decoder::Open, "");
    SCOPED_TRACE(path);
    EXPECT_EQ(table.log, iconv.log);
    for (const Outcome* other : {&iconv, &unlogged}) {
      EXPECT_EQ(table.result, other->result);
      EXPECT_EQ(table.report.line, other->report.line);
      EXPECT_EQ(table.report.reason, other->report.reason);
      EXPECT_EQ(table.report.draws, other->report.draws);
      EXPECT_EQ(table.report.firstOutOfOrderLine, other->report.firstOutOfOrderLine);
      EXPECT_EQ(table.draws, other->draws);
    }
  }
}

}  // namespace
}  // namespace tolvane::test
