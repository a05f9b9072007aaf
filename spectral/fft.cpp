#include "spectral/fft.h"

#include <cmath>
#include <cstddef>
#include <numbers>
#include <utility>

#include "spectral/detail/allocation.h"
#include "spectral/engine_status.h"

namespace tolvane {
namespace {

bool IsPowerOfTwo(std::uint32_t n) { return n != 0 && (n & (n - 1)) == 0; }

// table holds n + n/4 entries; entry i becomes sin(2*pi*i/n), so entry h + n/4 is cos(2*pi*h/n).
// The first octant comes from a rotation recurrence seeded by one sin(), the rest by symmetry;
// this exact sequence of roundings is what every spectrum in the program is built on.
void BuildSineTable(std::uint32_t n, double* table) {
  const std::size_t half = n / 2;
  const std::size_t quarter = n / 4;
  const std::size_t eighth = n / 8;

  const double t = std::sin(std::numbers::pi / static_cast<double>(n));
  double dc = 2.0 * t * t;
  double ds = std::sqrt(dc * (2.0 - dc));
  const double t2 = 2.0 * dc;

  double c = 1.0;
  double s = 0.0;
  table[quarter] = 1.0;
  table[0] = 0.0;
  for (std::size_t i = 1; i < eighth; ++i) {
    c = c - dc;
    s = s + ds;
    table[i] = s;
    table[quarter - i] = c;
    dc = dc + t2 * c;
    ds = ds - t2 * s;
  }
  if (eighth != 0) {
    table[eighth] = std::sqrt(0.5);
  }
  for (std::size_t i = 0; i < quarter; ++i) {
    table[half - i] = table[i];
  }
  for (std::size_t i = 0; i < half + quarter; ++i) {
    table[i + half] = -table[i];
  }
}

// table holds n entries; entry i is i with its log2(n) low bits reversed.
void BuildBitReverseTable(std::uint32_t n, std::uint32_t* table) {
  table[0] = 0;
  std::uint32_t j = 0;
  for (std::uint32_t i = 1; i < n; ++i) {
    std::uint32_t k = n / 2;
    while (k <= j) {
      j -= k;
      k /= 2;
    }
    j += k;
    table[i] = j;
  }
}

}  // namespace

std::int32_t ComputeFft(const double* src, double* re, double* im, std::uint32_t n,
                        std::int32_t flag) {
  // A length that is not a power of two would make the butterflies index past the arrays.
  if (src == nullptr || re == nullptr || im == nullptr || !IsPowerOfTwo(n)) {
    return StatusInvalid;
  }
  const std::size_t count = n;
  const std::size_t quarter = count / 4;
  detail::DoubleArray sine = detail::MakeDoubles(count + quarter);
  detail::IndexArray reversed = detail::MakeIndices(count);
  if (!sine || !reversed) {
    return StatusNoMemory;
  }
  BuildSineTable(n, sine.get());
  BuildBitReverseTable(n, reversed.get());

  for (std::size_t i = 0; i < count; ++i) {
    re[i] = src[i];
    im[i] = 0.0;
  }
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t j = reversed[i];
    if (i < j) {
      std::swap(re[i], re[j]);
      std::swap(im[i], im[j]);
    }
  }

  // Stage by stage; within a stage the butterflies touch disjoint pairs, so walking them block
  // by block (rather than twiddle by twiddle across the whole array) gives the same bits while
  // reading memory in order, which keeps large transforms in cache.
  for (std::size_t k = 1; k < count; k *= 2) {
    const std::size_t k2 = 2 * k;
    const std::size_t d = count / k2;
    for (std::size_t block = 0; block < count; block += k2) {
      std::size_t h = 0;
      for (std::size_t j = 0; j < k; ++j) {
        // With n = 2 the table has no room for a cosine a quarter period on; the only angle
        // used is 0, whose cosine is 1.
        const double c = quarter == 0 ? 1.0 : sine[h + quarter];
        double s = sine[h];
        if (flag != 0) {
          s = -s;
        }
        const std::size_t i = block + j;
        const std::size_t m = i + k;
        const double dx = s * im[m] + c * re[m];
        const double dy = c * im[m] - s * re[m];
        re[m] = re[i] - dx;
        re[i] = re[i] + dx;
        im[m] = im[i] - dy;
        im[i] = im[i] + dy;
        h += d;
      }
    }
  }

  if (flag == 1) {
    const auto divisor = static_cast<double>(n);
    for (std::size_t i = 0; i < count; ++i) {
      re[i] = re[i] / divisor;
      im[i] = im[i] / divisor;
    }
  }
  return StatusOk;
}

}  // namespace tolvane
