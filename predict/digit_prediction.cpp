#include "predict/digit_prediction.h"

#include "predict/digit_pipeline.h"
#include "spectral/single_digit.h"

namespace tolvane {

// The predictors read nothing from the workspace record and fill none of its arrays; it is only
// the record they are invoked on.

std::string PredictPowerSpectrumDigit([[maybe_unused]] SpectrumRecord& workspace,
                                      const WAData& series, const std::string& placeLabel,
                                      const std::string& logPath) {
  return RunDigitPipeline(series, "PredictPowerSpectrumDigit", placeLabel, logPath,
                          [&logPath](SpectrumRecord& record, WAData& digitSeries,
                                     std::uint32_t cycles, const std::string& name) {
                            return ProcessSingleDigit(record, digitSeries, cycles, name, logPath);
                          });
}

std::string PredictDigit([[maybe_unused]] SpectrumRecord& workspace, const WAData& series,
                         std::int32_t frameMode, std::int32_t filterKind,
                         const std::string& placeLabel, const std::string& logPath) {
  return RunDigitPipeline(series, "PredictDigit", placeLabel, logPath,
                          [&](SpectrumRecord& record, WAData& digitSeries, std::uint32_t cycles,
                              const std::string& name) {
                            return ProcessSingleDigit(record, digitSeries, cycles, frameMode,
                                                      filterKind, name, logPath);
                          });
}

}  // namespace tolvane
