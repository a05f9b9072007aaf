// The field checks against independent references: std::regex for dates, std::stoi for rounds.
#include "history/draw_line.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <stdexcept>
#include <string>

#include "core/utf.h"
#include "core/wa_data.h"

namespace tolvane::test {
namespace {

bool RegexAcceptsDate(const std::string& utf8) {
  static const std::regex pattern(R"(\d{4}/\d{1,2}/\d{1,2})", std::regex::ECMAScript);
  return std::regex_match(utf8, pattern);
}

void ExpectSameDateVerdict(const std::string& utf8) {
  ASSERT_EQ(IsDrawDate(Utf8ToUtf16(utf8)), RegexAcceptsDate(utf8)) << '"' << utf8 << '"';
}

// Only three kinds of character matter to the pattern (digit, slash, anything else), so every
// string of up to ten of them covers every shape a date field can take.
TEST(IsDrawDate, MatchesRegexOnEveryShortShape) {
  const std::string alphabet = "1/x";
  std::vector<std::string> level = {""};
  for (int length = 0; length <= 10; ++length) {
    std::vector<std::string> next;
    for (const std::string& text : level) {
      ExpectSameDateVerdict(text);
      for (const char c : alphabet) {
        next.push_back(text + c);
      }
    }
    level = std::move(next);
  }
}

TEST(IsDrawDate, MatchesRegexOnRandomFields) {
  const std::vector<std::string> pieces = {"0",  "1", "5",  "9",  "/",    "-",   " ", "a",
                                           "１", "٣", "\t", "12", "2018", "/6/", "日"};
  std::mt19937 random(20180612);
  std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
  std::uniform_int_distribution<int> length(0, 9);
  for (int i = 0; i < 20000; ++i) {
    std::string text;
    for (int n = length(random); n > 0; --n) {
      text += pieces[pick(random)];
    }
    ExpectSameDateVerdict(text);
  }
}

// Differential check: any ASCII text reads like std::stoi would read it.
TEST(ParseRoundNumber, AgreesWithStoi) {
  const std::vector<std::string> pieces = {"0",  "7",          "9",          "+",  "-",
                                           " ",  "\t",         "\v",         "x",  ".",
                                           "12", "2147483647", "2147483648", "00", "99999999999"};
  std::mt19937 random(5000);
  std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
  std::uniform_int_distribution<int> length(0, 5);
  for (int i = 0; i < 20000; ++i) {
    std::string text;
    for (int n = length(random); n > 0; --n) {
      text += pieces[pick(random)];
    }
    SCOPED_TRACE('"' + text + '"');
    const std::u16string wide = Utf8ToUtf16(text);
    try {
      const int expected = std::stoi(text);
      EXPECT_EQ(ParseRoundNumber(wide), expected);
    } catch (const std::invalid_argument&) {
      EXPECT_THROW(static_cast<void>(ParseRoundNumber(wide)), std::invalid_argument);
    } catch (const std::out_of_range&) {
      EXPECT_THROW(static_cast<void>(ParseRoundNumber(wide)), std::out_of_range);
    }
  }
}

TEST(ParseRoundNumber, FailuresCarryTheLoaderMessages) {
  const auto message = [](std::u16string_view text) -> std::string {
    try {
      static_cast<void>(ParseRoundNumber(text));
    } catch (const std::exception& e) {
      return e.what();
    }
    return "";
  };
  EXPECT_EQ(message(u"X"), "invalid stoi argument");
  EXPECT_EQ(message(u"１２"), "invalid stoi argument");  // full-width digits are not digits
  EXPECT_EQ(message(u"-"), "invalid stoi argument");
  EXPECT_EQ(message(u"-2147483649"), "stoi argument out of range");
  EXPECT_EQ(message(u"123456789012345678901234567890"), "stoi argument out of range");
  EXPECT_EQ(message(u"\u3000"
                    u"12"),
            "invalid stoi argument");  // ideographic space is not skipped
}

TEST(ReadWinningNumber, PadsShortNumbersAndRefusesNonDigits) {
  using Digits = std::array<std::uint8_t, 3>;
  const std::vector<std::pair<std::u16string, std::optional<Digits>>> cases = {
      {u"072", Digits{0, 7, 2}},  {u"7", Digits{0, 0, 7}},   {u"72", Digits{0, 7, 2}},
      {u"0721", Digits{0, 7, 2}}, {u"999", Digits{9, 9, 9}}, {u"123abc", Digits{1, 2, 3}},
      {u"", std::nullopt},        {u"7 2", std::nullopt},    {u" 72", std::nullopt},
      {u"x", std::nullopt},       {u"０７２", std::nullopt}, {u"1/2", std::nullopt},
  };
  for (const auto& [field, expected] : cases) {
    EXPECT_EQ(ReadWinningNumber(field), expected) << Utf16ToUtf8(field);
  }
}

TEST(HasRoundShape, NeedsMarkersAndSomethingBetween) {
  EXPECT_TRUE(HasRoundShape(u"第1回"));
  EXPECT_TRUE(HasRoundShape(u"第回回"));
  EXPECT_FALSE(HasRoundShape(u"第回"));
  EXPECT_FALSE(HasRoundShape(u""));
  EXPECT_FALSE(HasRoundShape(u"1回"));
  EXPECT_FALSE(HasRoundShape(u"第1"));
}

// A series' size is 32-bit; a longer history must fail rather than wrap around.
TEST(DrawDigitLists, RefusesMoreDrawsThanTheLimit) {
  DrawDigitLists lists(2);
  lists.Append({1, 2, 3, 0});
  lists.Append({4, 5, 6, 0});
  EXPECT_THROW(lists.Append({7, 8, 9, 0}), std::length_error);
  EXPECT_EQ(lists.size(), 2u);

  OwnedSeries h, t, o;
  lists.CommitTo({&h.get(), &t.get(), &o.get(), nullptr}, 3);
  EXPECT_EQ(h->size, 2u);
  EXPECT_EQ(o->data[1], 6.0);
}

}  // namespace
}  // namespace tolvane::test
