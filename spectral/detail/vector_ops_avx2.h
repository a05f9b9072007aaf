#pragma once

// Four doubles at a time. Include only from the AVX2 kernel file, which alone is compiled for
// that instruction set: nothing here may end up in code that runs on other processors.
#include <immintrin.h>

#include <cstddef>

namespace tolvane::detail {

struct Avx2Ops {
  using V = __m256d;
  static constexpr std::size_t kLanes = 4;

  static V Load(const double* p) { return _mm256_loadu_pd(p); }
  static void Store(double* p, V v) { _mm256_storeu_pd(p, v); }
  static V Broadcast(double x) { return _mm256_set1_pd(x); }
  static V Zero() { return _mm256_setzero_pd(); }
  static V Add(V a, V b) { return _mm256_add_pd(a, b); }
  static V Sub(V a, V b) { return _mm256_sub_pd(a, b); }
  static V Mul(V a, V b) { return _mm256_mul_pd(a, b); }
  static V Xor(V a, V b) { return _mm256_xor_pd(a, b); }

  // rows[p] holds element p of four groups of four: lanes 0, 1, 2, 3 belong to the groups at
  // base, base + 2 * spread, base + spread and base + 3 * spread (the bit-reversed lane order).
  // Writes each group's four elements in order.
  static void StoreGroups(double* base, std::size_t spread, V row0, V row1, V row2, V row3) {
    const V low01 = _mm256_unpacklo_pd(row0, row1);
    const V high01 = _mm256_unpackhi_pd(row0, row1);
    const V low23 = _mm256_unpacklo_pd(row2, row3);
    const V high23 = _mm256_unpackhi_pd(row2, row3);
    _mm256_storeu_pd(base, _mm256_permute2f128_pd(low01, low23, 0x20));
    _mm256_storeu_pd(base + 2 * spread, _mm256_permute2f128_pd(high01, high23, 0x20));
    _mm256_storeu_pd(base + spread, _mm256_permute2f128_pd(low01, low23, 0x31));
    _mm256_storeu_pd(base + 3 * spread, _mm256_permute2f128_pd(high01, high23, 0x31));
  }
};

}  // namespace tolvane::detail
