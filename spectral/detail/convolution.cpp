#include "spectral/detail/convolution.h"

#include <algorithm>

namespace tolvane::detail {
namespace {

// Outputs computed side by side. Each keeps its own accumulator and adds its terms in the same
// order as a one-at-a-time loop, so the results are bit-identical; the independent sums let
// the additions overlap instead of waiting on one another.
constexpr std::size_t kLanes = 8;

double OneOutput(const double* taps, std::size_t lastTap, const double* x, std::size_t j) {
  double acc = 0.0;
  for (std::size_t k = 0; k <= lastTap; ++k) {
    acc += taps[k] * x[j - k];
  }
  return acc;
}

}  // namespace

void CausalConvolution(const double* taps, std::size_t tapCount, const double* x, double* out,
                       std::size_t size) {
  if (tapCount == 0) {
    std::fill(out, out + size, 0.0);
    return;
  }
  const std::size_t lastTap = tapCount - 1;
  // The first outputs see fewer inputs than there are taps.
  const std::size_t rampEnd = std::min(size, lastTap);
  std::size_t j = 0;
  for (; j < rampEnd; ++j) {
    out[j] = OneOutput(taps, j, x, j);
  }
  for (; j + kLanes <= size; j += kLanes) {
    double acc[kLanes] = {};
    for (std::size_t k = 0; k <= lastTap; ++k) {
      const double tap = taps[k];
      const double* window = x + (j - k);
      for (std::size_t lane = 0; lane < kLanes; ++lane) {
        acc[lane] += tap * window[lane];
      }
    }
    std::copy(acc, acc + kLanes, out + j);
  }
  for (; j < size; ++j) {
    out[j] = OneOutput(taps, lastTap, x, j);
  }
}

}  // namespace tolvane::detail
