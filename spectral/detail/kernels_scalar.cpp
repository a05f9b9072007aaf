// The loops one value at a time: the reference the vector paths match bit for bit, the only path
// off x86-64, and the path for transforms too short to fill the vectors.
#include <algorithm>

#include "spectral/detail/kernels.h"

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

void TransformScalar(const FftTables& tables, const double* src, double* re, double* im,
                     bool inverse) {
  const std::size_t count = tables.n;
  // The bit-reversal permutation is its own inverse, so gathering through it gives what
  // swapping every pair in place would.
  for (std::size_t i = 0; i < count; ++i) {
    re[i] = src[tables.reversed[i]];
    im[i] = 0.0;
  }
  // Stage by stage; within a stage the butterflies touch disjoint pairs, so walking them block
  // by block (rather than twiddle by twiddle across the whole array) gives the same bits while
  // reading memory in order, which keeps large transforms in cache.
  for (std::size_t k = 1; k < count; k *= 2) {
    const double* cosines = tables.cosines + k;
    const double* sines = tables.sines + k;
    for (std::size_t block = 0; block < count; block += 2 * k) {
      for (std::size_t j = 0; j < k; ++j) {
        const double c = cosines[j];
        const double s = inverse ? -sines[j] : sines[j];
        const std::size_t i = block + j;
        const std::size_t m = i + k;
        const double dx = s * im[m] + c * re[m];
        const double dy = c * im[m] - s * re[m];
        re[m] = re[i] - dx;
        re[i] = re[i] + dx;
        im[m] = im[i] - dy;
        im[i] = im[i] + dy;
      }
    }
  }
}

void ConvolveScalar(const double* taps, std::size_t tapCount, const double* x, double* out,
                    std::size_t size) {
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
