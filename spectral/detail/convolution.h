#pragma once

#include <cstddef>

#include "spectral/detail/simd_path.h"

namespace tolvane::detail {

// Causal convolution: out[j] = sum of taps[k] * x[j - k] over k = 0 .. min(j, tapCount - 1),
// accumulated from 0.0 in increasing k, for j = 0 .. size - 1. Values before x[0] count as
// absent. out must not overlap x. Safe to call from several threads at once.
void CausalConvolution(const double* taps, std::size_t tapCount, const double* x, double* out,
                       std::size_t size);

// The same on a chosen path (one that AvailableSimdPaths() lists); every path gives the same
// bits.
void CausalConvolutionOn(SimdPath path, const double* taps, std::size_t tapCount, const double* x,
                         double* out, std::size_t size);

}  // namespace tolvane::detail
