#pragma once

#include <cstdint>

#include "core/owned.h"

namespace tolvane {

// A series of values handed to the spectral engine. The record owns `data` (allocated with
// new[]); whoever owns the record frees the array it holds at that time with delete[], because
// filtering may have swapped it for a new one. Usable only when size >= 1, rate >= 1 and data
// is present. Owners create it zeroed: `WAData series{};`.
struct WAData {
  double* data;
  std::uint32_t size;
  std::uint32_t rate;
};

inline bool IsUsable(const WAData& series) {
  return series.data != nullptr && series.size >= 1 && series.rate >= 1;
}

// Frees the record's array and empties it (size and rate kept, as owners expect).
inline void ReleaseSeries(WAData& series) {
  delete[] series.data;
  series.data = nullptr;
}

// A series freed with whatever array it holds when it goes.
using OwnedSeries = Owned<WAData, ReleaseSeries>;

}  // namespace tolvane
