#include "predict/place_ranking.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "predict/digit_prediction.h"
#include "tests/support/temp_dir.h"

namespace tolvane::test {
namespace {

// The typed entry ranks exactly as the text predictors do, writes the same log, and keeps the
// spectra only when asked, each peaking at its digit's score.
TEST(PlaceRanking, MatchesTheTextPredictorsForEveryFilterAndFrame) {
  std::vector<double> values;
  unsigned state = 2024;
  for (int i = 0; i < 15 * 23 + 7; ++i) {
    state = state * 1103515245U + 12345U;
    values.push_back(static_cast<double>((state >> 16) % 10));
  }
  const WAData series{values.data(), static_cast<std::uint32_t>(values.size()), 1};
  TempDir dir;
  for (const auto& filter : kFilterKinds) {
    for (const auto& frame : kFrameModes) {
      const std::string run = std::string(filter.word) + "-" + std::string(frame.word);
      SCOPED_TRACE(run);
      const std::string textLog = dir.File("text-" + run);
      const std::string typedLog = dir.File("typed-" + run);
      SpectrumRecord workspace{};
      const std::string text = filter.kind == FilterKind::None
                                   ? PredictPowerSpectrumDigit(workspace, series, "label", textLog)
                                   : PredictDigit(workspace, series, EngineCode(frame.kind),
                                                  EngineCode(filter.kind), "label", textLog);

      const DigitRanking plain = RankPlace(series, filter.kind, frame.kind);
      const DigitRanking kept =
          RankPlace(series, filter.kind, frame.kind, {true, "label", typedLog});
      ASSERT_TRUE(plain.ok);
      EXPECT_EQ(PredictionText(plain), text);
      EXPECT_EQ(kept.scores, plain.scores);
      EXPECT_EQ(kept.ranking, plain.ranking);
      EXPECT_EQ(ReadBytes(typedLog), ReadBytes(textLog));
      for (int d = 0; d < kDigitValues; ++d) {
        const auto k = static_cast<std::size_t>(d);
        EXPECT_TRUE(plain.spectra[k].empty());
        // 23 cycles: a 16-bin frame.
        ASSERT_EQ(kept.spectra[k].size(), 16U);
        EXPECT_EQ(*std::max_element(kept.spectra[k].begin(), kept.spectra[k].end()),
                  kept.scores[k]);
      }
    }
  }
}

TEST(PlaceRanking, RankOfFindsEachDigitsPosition) {
  const DigitOrder order = RankByScore({3, 9, 3, 0, 9, 1, 1, 2, 5, 0});
  EXPECT_EQ(order, (DigitOrder{1, 4, 8, 0, 2, 7, 5, 6, 3, 9}));
  for (int i = 0; i < kDigitValues; ++i) {
    EXPECT_EQ(RankOf(order, order[static_cast<std::size_t>(i)]), i + 1);
  }
  EXPECT_EQ(RankOf(order, -1), 0);
  EXPECT_EQ(RankOf(order, 10), 0);
}

}  // namespace
}  // namespace tolvane::test
