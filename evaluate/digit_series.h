#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "evaluate/evaluation.h"
#include "predict/cycle_counts.h"

namespace tolvane {

// The series a ranking transforms: each place's per-cycle digit counts, raw or filtered.
enum class SeriesSource : std::uint8_t { Counts, LowPass, BandPass };
inline constexpr std::size_t kSources = 3;
// Room for every place of either game; a history's places fill the first PlaceCount * 10.
inline constexpr std::size_t kDigitSeries = static_cast<std::size_t>(kMaxPlaces) * kDigitValues;

inline std::size_t SeriesIndex(int place, int digit) {
  return static_cast<std::size_t>(place) * kDigitValues + static_cast<std::size_t>(digit);
}

// Series i = SeriesIndex(place, digit) of each source, over the same number of cycles; the
// sources no run needs stay empty.
struct DigitSeries {
  std::array<std::array<std::vector<double>, kDigitSeries>, kSources> bySource;
  std::size_t count = 0;  // the series in use: the history's places times ten

  const std::vector<double>& Get(SeriesSource source, std::size_t series) const {
    return bySource[static_cast<std::size_t>(source)][series];
  }
};

// The counts over the first `cycles` cycles of the history's places, and their low-pass and
// band-pass filtered forms when asked for. A filtered prefix of c values equals the filtered
// counts of the first c cycles: the filter is causal and adds the same products in the same
// order. The filtering uses the engine's slot table, so it runs on the calling thread only.
// Returns 0, an engine status, or 1 when cancelled.
std::int32_t BuildDigitSeries(const DrawHistory& history, std::uint32_t cycles, bool lowPass,
                              bool bandPass, const std::atomic<bool>* cancel, DigitSeries& out);

inline constexpr std::int32_t kBuildCancelled = 1;

}  // namespace tolvane
