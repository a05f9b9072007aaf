#pragma once

#include <bit>
#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tolvane {

// Copies the ASCII bytes at the start of in[0, count) to `out` as UTF-16 units and returns how
// many there were. Sixteen bytes are widened at a time, so out[0, count) may be written past the
// run; the caller overwrites that part. Every x86-64 processor has SSE2.
inline std::size_t WidenAsciiRun(const char* in, std::size_t count, char16_t* out) {
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  while (i + 16 <= count) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi8(bytes, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8), _mm_unpackhi_epi8(bytes, zero));
    const auto high = static_cast<unsigned>(_mm_movemask_epi8(bytes));
    if (high != 0) {
      return i + static_cast<std::size_t>(std::countr_zero(high));
    }
    i += 16;
  }
#endif
  while (i < count && static_cast<unsigned char>(in[i]) < 0x80) {
    out[i] = static_cast<char16_t>(in[i]);
    ++i;
  }
  return i;
}

}  // namespace tolvane
