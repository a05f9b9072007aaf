#pragma once

// Two doubles at a time. Include only from the SSE2 kernel file: the loops instantiated with
// these operations belong to that path alone.
#include <emmintrin.h>

#include <cstddef>

namespace tolvane::detail {

struct Sse2Ops {
  using V = __m128d;
  static constexpr std::size_t kLanes = 2;

  static V Load(const double* p) { return _mm_loadu_pd(p); }
  static void Store(double* p, V v) { _mm_storeu_pd(p, v); }
  static V Broadcast(double x) { return _mm_set1_pd(x); }
  static V Zero() { return _mm_setzero_pd(); }
  static V Add(V a, V b) { return _mm_add_pd(a, b); }
  static V Sub(V a, V b) { return _mm_sub_pd(a, b); }
  static V Mul(V a, V b) { return _mm_mul_pd(a, b); }
  static V Xor(V a, V b) { return _mm_xor_pd(a, b); }

  // rows[p] holds element p of two groups of four: lane l belongs to the group at
  // base + l * spread. Writes each group's four elements in order.
  static void StoreGroups(double* base, std::size_t spread, V row0, V row1, V row2, V row3) {
    _mm_storeu_pd(base, _mm_unpacklo_pd(row0, row1));
    _mm_storeu_pd(base + 2, _mm_unpacklo_pd(row2, row3));
    _mm_storeu_pd(base + spread, _mm_unpackhi_pd(row0, row1));
    _mm_storeu_pd(base + spread + 2, _mm_unpackhi_pd(row2, row3));
  }
};

}  // namespace tolvane::detail
