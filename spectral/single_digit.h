#pragma once

#include <cstdint>
#include <string>

#include "core/wa_data.h"
#include "spectral/spectrum_record.h"

namespace tolvane {

// Frame modes (fftFlag): which nLen2 consecutive values of a series the filtered processing
// transforms when the series is longer than nLen2.
inline constexpr std::int32_t kFrameHead = 0;       // the first nLen2 values
inline constexpr std::int32_t kFrameTail = 1;       // the last nLen2 values
inline constexpr std::int32_t kFrameCenter = 2;     // starting at (length - nLen2) / 2
inline constexpr std::int32_t kFrameHeadTail = -1;  // the first and the last, spectra averaged

// nLen2: the largest power of two not above length (1 for length 0 and 1).
std::uint32_t FrameLength(std::uint32_t length);

// Unfiltered: empties the record, transforms the first nLen2(length) values of the series and
// stores the spectrum in the record. Returns 0 or an engine status; StatusInvalid when length
// exceeds the series' size.
std::int32_t ProcessSingleDigit(SpectrumRecord& record, const WAData& series, std::uint32_t length,
                                const std::string& name, const std::string& logPath);

// Filtered: filters the series in place with kind iFType (0 low-pass, 1 band-pass, other values
// none), then transforms the frame chosen by fftFlag. On success the series may hold a new
// array of filtered values, which the caller then owns.
std::int32_t ProcessSingleDigit(SpectrumRecord& record, WAData& series, std::uint32_t length,
                                std::int32_t fftFlag, std::int32_t iFType, const std::string& name,
                                const std::string& logPath);

}  // namespace tolvane
