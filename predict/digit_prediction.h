#pragma once

#include <cstdint>
#include <string>

#include "core/wa_data.h"
#include "predict/digit_ranking.h"
#include "spectral/spectrum_record.h"

namespace tolvane {

// Result text on any failure.
inline constexpr const char* kPredictionError = "Error";

// A ranking as the predictors give it: "パワースペクトル予想: " + the digits, best first, joined by
// ", " (code page 932 bytes), or "Error" when the ranking failed.
std::string PredictionText(const DigitRanking& ranking);

// Ranks the ten digit values of one place by the peak of each digit's per-cycle count spectrum
// (cycles of 15 draws) and returns "パワースペクトル予想: " + the digits, highest first, joined
// by ", " (code page 932 bytes), or "Error". Both are operations on the caller's workspace record,
// which they leave untouched. placeLabel (code page 932 bytes) appears only in the log.
std::string PredictPowerSpectrumDigit(SpectrumRecord& workspace, const WAData& series,
                                      const std::string& placeLabel, const std::string& logPath);

// The same pipeline with each digit series filtered (filterKind 0 low-pass, 1 band-pass) and
// the frame chosen by frameMode before the transform.
std::string PredictDigit(SpectrumRecord& workspace, const WAData& series, std::int32_t frameMode,
                         std::int32_t filterKind, const std::string& placeLabel,
                         const std::string& logPath);

}  // namespace tolvane
