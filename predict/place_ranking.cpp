#include "predict/place_ranking.h"

#include "predict/digit_pipeline.h"
#include "spectral/single_digit.h"

namespace tolvane {

DigitRanking RankPlace(const WAData& series, FilterKind filter, FrameMode frame,
                       const RankingOptions& options) {
  if (filter == FilterKind::None) {
    return RankPlaceUnfiltered(series, options);
  }
  return RankPlaceFiltered(series, EngineCode(frame), EngineCode(filter), options);
}

DigitRanking RankPlaceUnfiltered(const WAData& series, const RankingOptions& options) {
  const std::string& logPath = options.logPath;
  return RunDigitPipeline(
      series, "PredictPowerSpectrumDigit", options.placeLabel, logPath,
      [&logPath](SpectrumRecord& record, WAData& digitSeries, std::uint32_t cycles,
                 const std::string& name) {
        return ProcessSingleDigit(record, digitSeries, cycles, name, logPath);
      },
      options.keepSpectra);
}

DigitRanking RankPlaceFiltered(const WAData& series, std::int32_t frameMode,
                               std::int32_t filterKind, const RankingOptions& options) {
  const std::string& logPath = options.logPath;
  return RunDigitPipeline(
      series, "PredictDigit", options.placeLabel, logPath,
      [&](SpectrumRecord& record, WAData& digitSeries, std::uint32_t cycles,
          const std::string& name) {
        return ProcessSingleDigit(record, digitSeries, cycles, frameMode, filterKind, name,
                                  logPath);
      },
      options.keepSpectra);
}

}  // namespace tolvane
