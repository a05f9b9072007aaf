#include "predict/cycle_counts.h"

#include <cstddef>

namespace tolvane {

int DigitOf(double value) {
  if (!(value > -1.0 && value < 10.0)) {
    return -1;
  }
  return static_cast<int>(value);
}

std::vector<std::int32_t> CountPerCycle(const WAData& series, std::uint32_t cycles) {
  std::vector<std::int32_t> table(static_cast<std::size_t>(kDigitValues) * cycles, 0);
  for (std::uint32_t j = 0; j < cycles; ++j) {
    const double* cycle = series.data + static_cast<std::size_t>(j) * kCycleLength;
    for (std::uint32_t i = 0; i < kCycleLength; ++i) {
      const int digit = DigitOf(cycle[i]);
      if (digit >= 0) {
        ++table[static_cast<std::size_t>(digit) * cycles + j];
      }
    }
  }
  return table;
}

}  // namespace tolvane
