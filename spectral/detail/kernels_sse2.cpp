// The SSE2 loops; x86-64 builds only (SSE2 is part of every x86-64 processor).
#include "spectral/detail/convolution_blocks.h"
#include "spectral/detail/fft_passes.h"
#include "spectral/detail/kernels.h"
#include "spectral/detail/vector_ops_sse2.h"

namespace tolvane::detail {

void TransformSse2(const FftTables& tables, const double* src, double* re, double* im,
                   bool inverse) {
  VectorTransform<Sse2Ops>(tables, src, re, im, inverse);
}

void ConvolveSse2(const double* taps, std::size_t tapCount, const double* x, double* out,
                  std::size_t size) {
  VectorConvolution<Sse2Ops>(taps, tapCount, x, out, size);
}

}  // namespace tolvane::detail
