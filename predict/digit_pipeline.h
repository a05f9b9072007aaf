#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/wa_data.h"
#include "predict/digit_ranking.h"
#include "spectral/spectrum_record.h"

namespace tolvane {

// The step in which the two predictors differ: turns one digit's count series (cycles values)
// into that digit's spectrum record. May replace the series' array; the pipeline frees whatever
// array the series holds afterwards. Returns 0 or an engine status.
using DigitSpectrumStep = std::function<std::int32_t(
    SpectrumRecord& record, WAData& digitSeries, std::uint32_t cycles, const std::string& name)>;

// Counting per cycle of 15 values, one spectrum per digit value, peak powers and the stable
// ranking, shared by both predictors. callerName opens the first log line. The digits' power
// spectra are kept in the result only when keepSpectra is set.
DigitRanking RunDigitPipeline(const WAData& series, std::string_view callerName,
                              const std::string& placeLabel, const std::string& logPath,
                              const DigitSpectrumStep& spectrumStep, bool keepSpectra = false);

}  // namespace tolvane
