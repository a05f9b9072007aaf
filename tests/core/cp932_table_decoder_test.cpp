// The table decoder and the built-in tables against plain iconv: the same accepted/rejected
// decision, the same offset of the bad byte and the same text, on every one- and two-byte
// sequence and on the fuzz corpus; and the built-in encoder against iconv on every character.
#include "core/cp932_table_decoder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "core/cp932.h"
#include "core/cp932_builtin.h"
#include "core/utf.h"

namespace tolvane::test {
namespace {

class Cp932AgainstIconv : public ::testing::Test {
 protected:
  void SetUp() override {
    table_ = Cp932Decoder::Open();
    builtIn_ = OpenBuiltInCp932Decoder();
    iconv_ = Cp932Decoder::OpenIconvOnly();
    ASSERT_NE(table_, nullptr) << "this system has no CP932 iconv converter";
    ASSERT_NE(iconv_, nullptr);
  }

  // Counts a mismatch instead of failing at once, so a broken table reports a few examples and a
  // total rather than 65,536 failures.
  void Compare(std::string_view bytes) {
    Compare(*table_, bytes);
    Compare(*builtIn_, bytes);
  }

  void Compare(Cp932Decoder& decoder, std::string_view bytes) {
    std::vector<char16_t> fromTable(bytes.size() + 1);
    std::vector<char16_t> fromIconv(bytes.size() + 1);
    const TextDecoder::Decoded table = decoder.DecodeInto(bytes, fromTable.data());
    const TextDecoder::Decoded iconv = iconv_->DecodeInto(bytes, fromIconv.data());
    const bool same =
        table.ok == iconv.ok && table.units == iconv.units &&
        (table.ok || table.errorOffset == iconv.errorOffset) &&
        std::equal(fromTable.begin(), fromTable.begin() + static_cast<long>(table.units),
                   fromIconv.begin());
    if (!same && ++mismatches_ <= 5) {
      std::string hex;
      for (const char c : bytes.substr(0, 40)) {
        hex += std::to_string(static_cast<unsigned char>(c)) + " ";
      }
      ADD_FAILURE() << "bytes " << hex << "table ok=" << table.ok << " units=" << table.units
                    << " at=" << table.errorOffset << ", iconv ok=" << iconv.ok
                    << " units=" << iconv.units << " at=" << iconv.errorOffset;
    }
  }

  std::unique_ptr<Cp932Decoder> table_;
  std::unique_ptr<Cp932Decoder> builtIn_;
  std::unique_ptr<Cp932Decoder> iconv_;
  int mismatches_ = 0;
};

TEST_F(Cp932AgainstIconv, EveryOneAndTwoByteSequence) {
  // Alone, and inside ASCII long enough for the sixteen-byte widening, at an odd offset, so the
  // table is met both from a fresh start and after a run.
  const auto framed = [](std::string_view middle) {
    std::string text = "0123456789abcdefg";
    text.append(middle).append("z\n");
    return text;
  };
  for (unsigned first = 0; first < 256; ++first) {
    const std::string one(1, static_cast<char>(first));
    Compare(one);
    Compare(framed(one));
    for (unsigned second = 0; second < 256; ++second) {
      const std::string two = one + static_cast<char>(second);
      Compare(two);
      Compare(framed(two));
    }
  }
  EXPECT_EQ(mismatches_, 0);
}

TEST_F(Cp932AgainstIconv, FuzzCorpusWholeAndCutAtEveryByte) {
  std::vector<std::filesystem::path> files = {TOLVANE_SAMPLE_HISTORY};
  for (const auto& entry : std::filesystem::directory_iterator(TOLVANE_HISTORY_CORPUS)) {
    files.push_back(entry.path());
  }
  ASSERT_GT(files.size(), 5U);
  for (const auto& file : files) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Compare(bytes);
    // Every cut of the small files: a lead byte left at the end, a run ended inside a pair.
    for (std::size_t cut = 0; bytes.size() < 4096 && cut < bytes.size(); ++cut) {
      Compare(std::string_view(bytes).substr(0, cut));
      Compare(std::string_view(bytes).substr(cut));
    }
  }
  EXPECT_EQ(mismatches_, 0);
}

TEST(Cp932BuiltInEncoder, EveryCharacterAndBadUtf8AsIconv) {
  int mismatches = 0;
  const auto compare = [&mismatches](const std::string& utf8) {
    if (BuiltInUtf8ToCp932(utf8) != Utf8ToCp932(utf8) && ++mismatches <= 5) {
      ADD_FAILURE() << "UTF-8 " << testing::PrintToString(utf8);
    }
  };
  for (char32_t unit = 0; unit < 0x10000; ++unit) {
    if (unit < 0xD800 || unit > 0xDFFF) {
      compare("a" + Utf16ToUtf8(std::u16string(1, static_cast<char16_t>(unit))) + "b");
    }
  }
  // Beyond the plane, a truncated sequence, an encoded surrogate, an overlong form, and a text
  // that mixes single bytes with pairs.
  for (const char* text : {"\xF0\x9F\x98\x80", "\xE3\x81", "\xED\xA0\x80", "\xC0\xAF",
                           "1\xE7\xAC\xAC\xE5\x9B\x9E,\xEF\xBD\xB1"}) {
    compare(text);
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
}  // namespace tolvane::test
