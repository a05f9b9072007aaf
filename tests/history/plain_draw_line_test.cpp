// The byte-level check of plain draw lines against the general way (decode, split, check): it
// may leave any line to the general way, but whatever it accepts must be what the general way
// makes of the line, and the lines histories are made of must not be left to it.
#include "history/plain_draw_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "core/cp932.h"
#include "core/diagnostic_log.h"
#include "core/utf.h"
#include "history/draw_line.h"
#include "history/history_import.h"
#include "history/history_line_reader.h"
#include "history/plain_history_line.h"
#include "tests/support/temp_dir.h"

namespace tolvane::test {
namespace {

struct Line {
  std::string utf8;
  std::string rawTail;  // code page 932 bytes after the text (code page 932 only)
  bool plain;           // must be judged from its bytes
};

// The general way, from the reader's own decoded line.
std::optional<CheckedDraw> GeneralWay(HistoryLineReader& reader, std::string_view bytes,
                                      int places) {
  try {
    const std::u16string_view line = reader.Decode(bytes);
    DrawFields fields;
    fields.Split(line);
    if (fields.count() < 4) {
      return std::nullopt;
    }
    DiagnosticLog closed("");
    return CheckDrawLine(fields, closed, places);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

// Lines a history may hold; `plain`: the loader's check must judge it from its bytes.
const std::vector<Line>& Lines() {
  static const std::vector<Line> lines = {
      {"第1回,1994/10/07,金,120", "", true},
      {"第123456789回,2000/1/1,,7", "", true},
      {"第0012回,2000/12/31,月,72\r", "", true},
      {"第5回,2000/1/1,X,1234", "", true},
      {"第5回,2000/1/1,X,12345", "", true},  // Numbers 3 reads its first three; Numbers 4 none
      {"第5回,2000/1/1,ｶﾅ,999", "", true},
      {"第5回,2000/1/1,金,123,more,fields", "", true},
      {"第5回,2000/1/1,金,12,\"quoted later\"", "", false},
      {"第5回,2000/1/1,土,321", "", true},
      {"第5回,2000/1/1,日,321", "", true},  // more distinct field 2s than the check remembers
      {"第5回,2000/1/1,祝,321", "", true},
      {"第5回,2000/1/1,水,321", "", true},
      {"第5回,2000/1/1,木,321", "", true},
      {"第5回,2000/1/1,火,321", "", true},
      {"第5回,2000/1/1,振替,321", "", true},
      {"第5回,2000/1/1,金,321", "", true},
      {"第5回,2000/1/1,振替休日の翌日,1234", "", true},  // field 2 decoded with the rest
      {"第1234567890回,2000/1/1,金,120", "", false},
      {"第99999999999回,2000/1/1,金,120", "", false},
      {"第 1回,2000/1/1,金,120", "", false},
      {"第-1回,2000/1/1,金,120", "", false},
      {"第1x回,2000/1/1,金,120", "", false},
      {"第回,2000/1/1,金,120", "", false},
      {"第1回回,2000/1/1,金,120", "", false},
      {"第1回,2000/1/1,金,\"120\"", "", false},
      {"第1回,2000/1/1,金\r,120", "", false},
      {"第1回,2000/1/1,金,12\r0", "", false},
      {"第1回,2000/1/1,金,12a", "", false},
      {"第1回,2000/1/1,金,1a", "", false},
      {"第1回,2000/1/1,金,", "", false},
      {"第1回,2000/1/1,金, 12", "", false},
      {"第1回,20000/1/1,金,120", "", false},
      {"第1回,2000/123/1,金,120", "", false},
      {"第1回,2000/1/1/,金,120", "", false},
      {"第1回,2000/1/,金,120", "", false},
      {"第1回,2000/1/1", "", false},
      {"第1回,2000/1/1,金", "", false},
      {"\"第1回\",2000/1/1,金,120", "", false},
      {"第2回,2000/1/2,\"x,121", "", false},  // the general way refuses it: 3 fields
      {"", "", false},
      {"第", "", false},
      {"第1回,2000/1/1,", "\x91,120", false},      // a lead byte before a comma
      {"第1回,2000/1/1,金,120", "\x91", false},    // a lead byte cut off by the line's end
      {"第1回,2000/1/1,金,120", "\x91\r", false},  // ... by its carriage return
      {"第1回,2000/1/1,", "\x80,120", false},      // a byte that is no character
      {"第1回,2000/1/1,", "\x89\xF1\x91,120", false},
      // Dates the loader takes and the converter does not: no day of the calendar.
      {"第1回,2019/2/29,金,120", "", true},
      {"第1回,2020/2/29,土,120", "", true},
  };
  return lines;
}

TEST(PlainDrawLines, AcceptsOnlyWhatTheGeneralWayAcceptsAlike) {
  for (const auto& [encoding, places] :
       {std::pair{TextEncoding::kCp932, 3}, {TextEncoding::kUtf8, 3}, {TextEncoding::kCp932, 4}}) {
    const bool utf8 = encoding == TextEncoding::kUtf8;
    SCOPED_TRACE((utf8 ? "UTF-8, " : "code page 932, ") + std::to_string(places) + " places");
    std::string file = "header\n";
    std::vector<const Line*> written;
    for (const Line& line : Lines()) {
      if (utf8 && !line.rawTail.empty()) {
        continue;
      }
      file += (utf8 ? line.utf8 : *Utf8ToCp932(line.utf8)) + line.rawTail + "\n";
      written.push_back(&line);
    }
    const TempDir dir;
    const std::string path = dir.File("history.csv");
    WriteBytes(path, file);

    std::unique_ptr<TextDecoder> decoder =
        utf8 ? std::make_unique<Utf8Decoder>() : std::unique_ptr<TextDecoder>(Cp932Decoder::Open());
    ASSERT_NE(decoder, nullptr);
    PlainDrawLines plain(*decoder, encoding, places);
    HistoryLineReader reader(path, *decoder, "test");
    ASSERT_TRUE(reader.SkipLine());
    std::string_view bytes;
    for (const Line* line : written) {
      SCOPED_TRACE(line->utf8);
      ASSERT_TRUE(reader.NextBytes(bytes));
      CheckedDraw draw{};
      const std::optional<CheckedDraw> fast =
          plain.Check(bytes, draw) ? std::optional(draw) : std::nullopt;
      const std::optional<CheckedDraw> general = GeneralWay(reader, bytes, places);
      EXPECT_EQ(fast.has_value(), line->plain && general.has_value());
      if (fast) {
        ASSERT_TRUE(general.has_value());
        EXPECT_EQ(fast->digits, general->digits);
        EXPECT_EQ(fast->round, general->round);
      }
    }
  }
}

// A decoder that does not turn the encoding's 第 and 回 into them gets no byte-level checks.
TEST(PlainDrawLines, AcceptsNothingWhereTheMarkersDoNotDecodeAsExpected) {
  Utf8Decoder decoder;
  PlainDrawLines plain(decoder, TextEncoding::kCp932);
  CheckedDraw draw{};
  EXPECT_FALSE(
      plain.Check("\x91\xE6"
                  "1\x89\xF1,2000/1/1,x,120",
                  draw));
}

// An append judges the plain lines before the last from their bytes: with every line, before or
// after a plain one (which takes that way), it fails or ends on the same draw as a full conversion.
TEST(PlainHistoryLines, AnAppendsCheckFailsAndReadsAsTheFullConversion) {
  for (const auto& [encoding, game] : {std::pair{TextEncoding::kCp932, Game::kNumbers3},
                                       {TextEncoding::kUtf8, Game::kNumbers3},
                                       {TextEncoding::kCp932, Game::kNumbers4}}) {
    const bool utf8 = encoding == TextEncoding::kUtf8;
    SCOPED_TRACE(std::string(utf8 ? "UTF-8, " : "code page 932, ") + std::string(Word(game)));
    const auto bytesOf = [utf8](const std::string& text) {
      return utf8 ? text : *Utf8ToCp932(text);
    };
    const std::string plain = bytesOf("第9回,2001/1/4,木,321\r\n");
    const std::string nextPlain = bytesOf("第10回,2001/1/5,金,322\n");
    const std::unique_ptr<TextDecoder> decoder =
        utf8 ? std::make_unique<Utf8Decoder>() : std::unique_ptr<TextDecoder>(Cp932Decoder::Open());
    EXPECT_EQ(
        PlainHistoryLines(*decoder, encoding, game).Accepts(plain.substr(0, plain.size() - 1)), 3U);
    for (const Line& line : Lines()) {
      if (utf8 && !line.rawTail.empty()) {
        continue;
      }
      SCOPED_TRACE(line.utf8);
      const std::string row = bytesOf(line.utf8) + line.rawTail + "\n";
      std::string between = plain;  // the row between two plain lines
      between.append(row).append(nextPlain);
      for (const std::string& body : {row, row + plain, plain + row, between}) {
        const std::string file = bytesOf("回別,抽せん日,曜日,当せん番号\n") + body;
        ImportOptions options{.encoding = encoding,
                              .columns = ImportColumns{0, 1, 3},
                              .game = game,
                              .firstThreeOfLonger = true};
        ImportResult whole;
        const bool wholeOk = ConvertHistoryBytes(file, options, whole);
        options.lastDrawOnly = true;
        ImportResult last;
        ASSERT_EQ(ConvertHistoryBytes(file, options, last), wholeOk);
        EXPECT_EQ(std::tie(last.line, last.reason, last.allThreeDigitNumbers),
                  std::tie(whole.line, whole.reason, whole.allThreeDigitNumbers));
        if (wholeOk) {
          ASSERT_EQ(last.draws.size(), 1U);
          const ImportedDraw& a = last.draws[0];
          const ImportedDraw& b = *std::max_element(
              whole.draws.begin(), whole.draws.end(),
              [](const ImportedDraw& x, const ImportedDraw& y) { return x.line < y.line; });
          EXPECT_TRUE(std::tie(a.line, a.round, a.date, a.digits) ==
                      std::tie(b.line, b.round, b.date, b.digits));
        }
      }
    }
  }
}

}  // namespace
}  // namespace tolvane::test
