#include "predict/narrow_texts.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "core/cp932.h"

namespace tolvane::test {
namespace {

// The texts are hand-written byte escapes: decoding them must give back exactly the Japanese
// the user is meant to read.
TEST(NarrowTexts, DecodeAsCodePage932ToTheirJapanese) {
  const std::unique_ptr<Cp932Decoder> decoder = Cp932Decoder::Open();
  ASSERT_NE(decoder, nullptr);
  struct Case {
    std::string_view bytes;
    std::u16string text;
  };
  const Case cases[] = {
      {kPowerSpectrumPrefix, u"パワースペクトル予想: "},
      {kPlaceThousands, u"千の位"},
      {kPlaceHundreds, u"百の位"},
      {kPlaceTens, u"十の位"},
      {kPlaceOnes, u"一の位"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(decoder->Decode(c.bytes), std::optional<std::u16string>(c.text));
  }
  EXPECT_EQ(kPowerSpectrumPrefix.size(), 22U);
  EXPECT_EQ(kPlaceHundreds.size(), 6U);
}

}  // namespace
}  // namespace tolvane::test
