#pragma once

#include <cstdint>

namespace tolvane::detail {

// The twiddle factors and the bit-reversal permutation of one transform length, laid out for
// the butterflies: stage k (k = 1, 2, 4, ..., n/2) finds the cosine and sine of twiddle j
// (j < k) at index k + j, so the twiddles of consecutive butterflies are adjacent in memory.
// The values are those of the rotation-recurrence sine table, entry for entry.
struct FftTables {
  std::uint32_t n = 0;
  const double* cosines = nullptr;
  const double* sines = nullptr;
  const std::uint32_t* reversed = nullptr;  // entry i: i with its log2(n) low bits reversed
};

// The tables for n, a power of two. Built on the first call for each length and kept, read-only,
// for the life of the process (at most one set per length, so at most 32); safe to call from
// several threads at once. nullptr when n is not a power of two or their storage cannot be
// obtained (a later call tries again).
const FftTables* FftTablesFor(std::uint32_t n);

}  // namespace tolvane::detail
