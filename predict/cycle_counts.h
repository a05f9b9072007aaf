#pragma once

#include <cstdint>
#include <vector>

#include "core/wa_data.h"

namespace tolvane {

// Draws are cut into cycles of 15; each place is ranked among the ten digit values.
inline constexpr std::uint32_t kCycleLength = 15;
inline constexpr int kDigitValues = 10;

// The digit a drawn value counts for: its truncation toward zero, or -1 when that lies outside
// 0 to 9. The range is checked before converting, so NaN and huge values stay well defined.
int DigitOf(double value);

// Row k holds digit k's count in each of the first `cycles` cycles (cycles values a row); values
// past the last of those cycles take no part. The series must hold 15 * cycles values.
std::vector<std::int32_t> CountPerCycle(const WAData& series, std::uint32_t cycles);

}  // namespace tolvane
