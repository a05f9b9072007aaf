#pragma once

#include <cstdint>

namespace tolvane {

// Radix-2 decimation-in-time FFT of the real series src[0..n) into re and im (n values each,
// distinct from src and from each other). flag 0: forward, unscaled, negative exponent;
// flag 1: inverse, divided by n; any other non-zero flag: inverse without the division.
// Returns 0, StatusNoMemory when the tables cannot be obtained, or StatusInvalid when n is not
// a power of two (0 included); on failure re and im are untouched.
// The sine table comes from a rotation recurrence with a single sin() per length; rankings
// depend on its exact rounding, so the arithmetic order is fixed. The tables are built on the
// first call for a length and shared after that. Safe to call from several threads at once on
// distinct arrays.
std::int32_t ComputeFft(const double* src, double* re, double* im, std::uint32_t n,
                        std::int32_t flag);

}  // namespace tolvane
