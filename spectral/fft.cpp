#include "spectral/fft.h"

#include <cstddef>

#include "spectral/detail/allocation.h"
#include "spectral/detail/fft_on_path.h"
#include "spectral/detail/fft_tables.h"
#include "spectral/detail/kernels.h"
#include "spectral/engine_status.h"

namespace tolvane {
namespace {

bool IsPowerOfTwo(std::uint32_t n) { return n != 0 && (n & (n - 1)) == 0; }

#if defined(TOLVANE_X86_KERNELS)
// The shortest lengths that fill a path's vectors; shorter transforms run the scalar loops.
constexpr std::uint32_t kSse2Shortest = 8;
constexpr std::uint32_t kAvx2Shortest = 16;
#endif

void Transform(detail::SimdPath path, const detail::FftTables& tables, const double* src,
               double* re, double* im, bool inverse) {
  switch (path) {
#if defined(TOLVANE_X86_KERNELS)
    case detail::SimdPath::kSse2:
      if (tables.n >= kSse2Shortest) {
        detail::TransformSse2(tables, src, re, im, inverse);
        return;
      }
      break;
    case detail::SimdPath::kAvx2:
      if (tables.n >= kAvx2Shortest) {
        detail::TransformAvx2(tables, src, re, im, inverse);
        return;
      }
      break;
#endif
    default:
      break;
  }
  detail::TransformScalar(tables, src, re, im, inverse);
}

}  // namespace

std::int32_t ComputeFft(const double* src, double* re, double* im, std::uint32_t n,
                        std::int32_t flag) {
  return detail::ComputeFftOn(detail::BestSimdPath(), src, re, im, n, flag);
}

namespace detail {

std::int32_t ComputeFftOn(SimdPath path, const double* src, double* re, double* im, std::uint32_t n,
                          std::int32_t flag) {
  // A length that is not a power of two would make the butterflies index past the arrays.
  if (src == nullptr || re == nullptr || im == nullptr || !IsPowerOfTwo(n)) {
    return StatusInvalid;
  }
  // The sine and bit-reversal tables were once allocated on every call; now they are built once
  // per length and shared, but each call still counts them as two allocation attempts, so a
  // test can fail either and follow every caller's path for a transform without its tables.
  const bool sineRefused = SharedStorageRefused();
  const bool reversalRefused = SharedStorageRefused();
  const FftTables* tables = sineRefused || reversalRefused ? nullptr : FftTablesFor(n);
  if (tables == nullptr) {
    return StatusNoMemory;
  }
  // A path the processor cannot run falls back to one it can.
  Transform(path < BestSimdPath() ? path : BestSimdPath(), *tables, src, re, im, flag != 0);

  if (flag == 1) {
    const auto divisor = static_cast<double>(n);
    const std::size_t count = n;
    for (std::size_t i = 0; i < count; ++i) {
      re[i] = re[i] / divisor;
      im[i] = im[i] / divisor;
    }
  }
  return StatusOk;
}

}  // namespace detail
}  // namespace tolvane
