#pragma once

// The inner loops of the transform and the filter, one set per instruction set. Callers pick a
// set through SimdPath; the SSE2 and AVX2 sets exist only in x86-64 builds, and the AVX2 set may
// only be called where BestSimdPath() says the processor runs it.
#include <cstddef>

#include "spectral/detail/fft_tables.h"

namespace tolvane::detail {

// The unscaled transform of src into re and im with the given tables: the input in bit-reversed
// order, then every stage; inverse negates the sines. Any length.
void TransformScalar(const FftTables& tables, const double* src, double* re, double* im,
                     bool inverse);
// The same for n >= 8 (SSE2) and n >= 16 (AVX2).
void TransformSse2(const FftTables& tables, const double* src, double* re, double* im,
                   bool inverse);
void TransformAvx2(const FftTables& tables, const double* src, double* re, double* im,
                   bool inverse);

// CausalConvolution for tapCount >= 1.
void ConvolveScalar(const double* taps, std::size_t tapCount, const double* x, double* out,
                    std::size_t size);
void ConvolveSse2(const double* taps, std::size_t tapCount, const double* x, double* out,
                  std::size_t size);
void ConvolveAvx2(const double* taps, std::size_t tapCount, const double* x, double* out,
                  std::size_t size);

}  // namespace tolvane::detail
