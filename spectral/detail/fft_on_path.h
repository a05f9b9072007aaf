#pragma once

#include <cstdint>

#include "spectral/detail/simd_path.h"

namespace tolvane::detail {

// ComputeFft on a chosen path (one that AvailableSimdPaths() lists); ComputeFft itself takes
// BestSimdPath(). Every path gives the same bits.
std::int32_t ComputeFftOn(SimdPath path, const double* src, double* re, double* im, std::uint32_t n,
                          std::int32_t flag);

}  // namespace tolvane::detail
