#include "predict/digit_prediction.h"

#include <cstddef>

#include "predict/narrow_texts.h"
#include "predict/place_ranking.h"

namespace tolvane {

std::string PredictionText(const DigitRanking& ranking) {
  if (!ranking.ok) {
    return kPredictionError;
  }
  std::string text(kPowerSpectrumPrefix);
  for (std::size_t i = 0; i < ranking.ranking.size(); ++i) {
    if (i > 0) {
      text += ", ";
    }
    text += static_cast<char>('0' + ranking.ranking[i]);
  }
  return text;
}

// The predictors read nothing from the workspace record and fill none of its arrays; it is only
// the record they are invoked on.

std::string PredictPowerSpectrumDigit([[maybe_unused]] SpectrumRecord& workspace,
                                      const WAData& series, const std::string& placeLabel,
                                      const std::string& logPath) {
  return PredictionText(RankPlaceUnfiltered(series, {false, placeLabel, logPath}));
}

std::string PredictDigit([[maybe_unused]] SpectrumRecord& workspace, const WAData& series,
                         std::int32_t frameMode, std::int32_t filterKind,
                         const std::string& placeLabel, const std::string& logPath) {
  return PredictionText(
      RankPlaceFiltered(series, frameMode, filterKind, {false, placeLabel, logPath}));
}

}  // namespace tolvane
