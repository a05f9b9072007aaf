#include "evaluate/shared_transform.h"

#include <cstddef>
#include <utility>

#include "spectral/sine_table.h"

namespace tolvane {
namespace {

std::uint32_t Log2(std::uint32_t n) {
  std::uint32_t stages = 0;
  while ((std::uint32_t{1} << stages) < n) {
    ++stages;
  }
  return stages;
}

}  // namespace

void SharedStageTransform::Butterflies(const double* firstRe, const double* firstIm,
                                       const double* secondRe, const double* secondIm,
                                       double* outRe, double* outIm, std::uint32_t half) const {
  const std::size_t quarter = n_ / 4;
  const std::size_t step = n_ / (2 * static_cast<std::size_t>(half));
  std::size_t h = 0;
  for (std::size_t j = 0; j < half; ++j) {
    // As in ComputeFft: with n = 2 the only angle is 0, whose cosine is 1.
    const double c = quarter == 0 ? 1.0 : sine_[h + quarter];
    const double s = sine_[h];
    const double dx = s * secondIm[j] + c * secondRe[j];
    const double dy = c * secondIm[j] - s * secondRe[j];
    outRe[j + half] = firstRe[j] - dx;
    outRe[j] = firstRe[j] + dx;
    outIm[j + half] = firstIm[j] - dy;
    outIm[j] = firstIm[j] + dy;
    h += step;
  }
}

void SharedStageTransform::Prepare(const double* series, std::uint32_t n, std::uint32_t lo,
                                   std::uint32_t hi) {
  if (n != n_) {
    n_ = n;
    stages_ = Log2(n);
    sine_.resize(SineTableSize(n));
    BuildSineTable(n, sine_.data());
  }
  series_ = series;
  lo_ = lo;
  if (stages_ == 0) {
    return;
  }
  const std::size_t span = hi - lo;
  // Stage 0: the single values, each its own transform, for every start from lo to hi + n - 1.
  std::size_t count = span + n_;
  re_.assign(series + lo, series + lo + count);
  im_.assign(count, 0.0);
  // Stage l + 1 of start a pairs stage l of starts a and a + n / 2^(l+1).
  for (std::uint32_t stage = 1; stage < stages_; ++stage) {
    const std::uint32_t half = std::uint32_t{1} << (stage - 1);
    const std::size_t offset = n_ >> stage;
    count = span + offset;
    scratchRe_.resize(count * 2 * half);
    scratchIm_.resize(count * 2 * half);
    for (std::size_t a = 0; a < count; ++a) {
      const std::size_t first = a * half;
      const std::size_t second = (a + offset) * half;
      Butterflies(&re_[first], &im_[first], &re_[second], &im_[second], &scratchRe_[2 * first],
                  &scratchIm_[2 * first], half);
    }
    std::swap(re_, scratchRe_);
    std::swap(im_, scratchIm_);
  }
}

void SharedStageTransform::Window(std::uint32_t start, double* re, double* im) const {
  if (stages_ == 0) {
    re[0] = series_[start];
    im[0] = 0.0;
    return;
  }
  const std::uint32_t half = n_ / 2;
  const std::size_t first = static_cast<std::size_t>(start - lo_) * half;
  const std::size_t second = first + half;
  Butterflies(&re_[first], &im_[first], &re_[second], &im_[second], re, im, half);
}

}  // namespace tolvane
