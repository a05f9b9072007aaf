#include "spectral/detail/convolution.h"

#include <algorithm>

#include "spectral/detail/kernels.h"

namespace tolvane::detail {

void CausalConvolution(const double* taps, std::size_t tapCount, const double* x, double* out,
                       std::size_t size) {
  CausalConvolutionOn(BestSimdPath(), taps, tapCount, x, out, size);
}

void CausalConvolutionOn(SimdPath path, const double* taps, std::size_t tapCount, const double* x,
                         double* out, std::size_t size) {
  if (tapCount == 0) {
    std::fill(out, out + size, 0.0);
    return;
  }
  // A path the processor cannot run falls back to one it can.
  switch (path < BestSimdPath() ? path : BestSimdPath()) {
#if defined(TOLVANE_X86_KERNELS)
    case SimdPath::kSse2:
      ConvolveSse2(taps, tapCount, x, out, size);
      return;
    case SimdPath::kAvx2:
      ConvolveAvx2(taps, tapCount, x, out, size);
      return;
#endif
    default:
      ConvolveScalar(taps, tapCount, x, out, size);
      return;
  }
}

}  // namespace tolvane::detail
