#include "core/cp932.h"
#include "core/utf.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace tolvane::test {
namespace {

std::unique_ptr<Cp932Decoder> OpenDecoder() {
  auto decoder = Cp932Decoder::Open();
  EXPECT_NE(decoder, nullptr) << "this system has no CP932 iconv converter";
  return decoder;
}

TEST(Cp932Decoder, DecodesJapaneseAndAscii) {
  auto decoder = OpenDecoder();
  ASSERT_NE(decoder, nullptr);
  // 第 5 回 , 月 \ ~ and a half-width katakana; 0x5C and 0x7E stay ASCII in this code page.
  EXPECT_EQ(decoder->Decode("\x91\xE6"
                            "5\x89\xF1,\x8C\x8E\\~\xB1"),
            u"第5回,月\\~ｱ");
  EXPECT_EQ(decoder->Decode(std::string_view("a\0b", 3)), std::u16string(u"a\0b", 3));
  EXPECT_EQ(decoder->Decode(""), u"");
}

// Both strict decoders fail a whole decode at the first bad byte and say where it is.
TEST(StrictDecoders, ReportWhereDecodingStops) {
  auto cp932 = OpenDecoder();
  ASSERT_NE(cp932, nullptr);
  Utf8Decoder utf8;
  const std::vector<std::tuple<TextDecoder*, std::string, std::size_t>> cases = {
      {cp932.get(), "\x80", 0},           // not a character of this code page
      {cp932.get(), "ab\xA0", 2},         //
      {cp932.get(), "\x91\xE6\xFD", 2},   //
      {cp932.get(), "x\x91\n", 1},        // a lead byte cannot take a line feed as its second byte
      {cp932.get(), "\x91\xE6z\x91", 3},  // a lead byte without its second byte at the end
      {&utf8, "\xE0\x83\xA9", 0},         // a three-byte overlong form of U+00E9
      {&utf8, "ok\xC0\x80", 2},           // a two-byte overlong form, refused by its lead byte
      {&utf8, "\xED\xA0\x80", 0},         // an encoded surrogate
      {&utf8, "\xC3\xA9\xE3\x81", 2},     // a sequence cut off by the end
      {&utf8, "\xF4\x90\x80\x80", 0},     // beyond U+10FFFF
  };
  for (const auto& [decoder, bytes, offset] : cases) {
    std::size_t at = 99;
    EXPECT_EQ(decoder->Decode(bytes, &at), std::nullopt) << testing::PrintToString(bytes);
    EXPECT_EQ(at, offset) << testing::PrintToString(bytes);
  }
}

TEST(Cp932ToUtf16, ReplacesOnlyTheBadBytes) {
  EXPECT_EQ(Cp932ToUtf16("\x91\xE6"
                         "1\x89\xF1"),
            u"第1回");
  EXPECT_EQ(Cp932ToUtf16("a\x80"
                         "b"),
            u"a\uFFFDb");
  EXPECT_EQ(Cp932ToUtf16("\x91\n"), u"\uFFFD\n");  // the line feed after a bad lead survives
  EXPECT_EQ(Cp932ToUtf16("ok\x91"), u"ok\uFFFD");
}

TEST(Utf8Conversion, RoundTripsEveryPlane) {
  const std::u16string text = u"第1回 ok \u00E9 \uFFFD \U0001F600 end";
  EXPECT_EQ(Utf16ToUtf8(text), "第1回 ok é \xEF\xBF\xBD 😀 end");
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
}

TEST(Utf8Conversion, MalformedInputBecomesReplacementCharacters) {
  // Unpaired surrogates have no UTF-8 form.
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800)) + u"a"),
            "\xEF\xBF\xBD"
            "a");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xDC00))), "\xEF\xBF\xBD");
  const std::vector<std::pair<std::string, std::u16string>> cases = {
      {"\xC0\x80", u"\uFFFD\uFFFD"},                      // overlong
      {"\xE0\x83\xA9", u"\uFFFD\uFFFD\uFFFD"},            // overlong, three bytes
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
      {"\xE3\x81", u"\uFFFD\uFFFD"},                      // truncated
      {"\xF5\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
      {"a\x80z", u"a\uFFFDz"},                            // stray continuation byte
  };
  for (const auto& [bytes, expected] : cases) {
    EXPECT_EQ(Utf8ToUtf16(bytes), expected);
  }
}

}  // namespace
}  // namespace tolvane::test
