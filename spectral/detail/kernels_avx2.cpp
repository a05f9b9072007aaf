// The AVX2 loops. This file alone is compiled for AVX2 (without FMA, so every product and sum
// is still rounded on its own); it includes nothing whose inline code other files share, so no
// AVX2 instruction can leak into code that runs on older processors.
#include <immintrin.h>

#include "spectral/detail/convolution_blocks.h"
#include "spectral/detail/fft_passes.h"
#include "spectral/detail/kernels.h"
#include "spectral/detail/vector_ops_avx2.h"

namespace tolvane::detail {

void TransformAvx2(const FftTables& tables, const double* src, double* re, double* im,
                   bool inverse) {
  VectorTransform<Avx2Ops>(tables, src, re, im, inverse);
  // Whatever paths the compiler took, the upper halves of the vector registers are clean when
  // the caller's plain SSE code (libm's cos among it) runs again; left dirty, they slow every
  // later SSE instruction several times over.
  _mm256_zeroupper();
}

void ConvolveAvx2(const double* taps, std::size_t tapCount, const double* x, double* out,
                  std::size_t size) {
  VectorConvolution<Avx2Ops>(taps, tapCount, x, out, size);
  _mm256_zeroupper();
}

}  // namespace tolvane::detail
