#include "spectral/detail/convolution.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <vector>

#include "spectral/detail/simd_path.h"
#include "tests/spectral/engine_fixture.h"

namespace tolvane::test {
namespace {

// From 0.0, taps in increasing order, values before x[0] absent.
std::vector<double> PlainConvolution(const std::vector<double>& taps,
                                     const std::vector<double>& x) {
  std::vector<double> out(x.size());
  for (std::size_t j = 0; j < x.size(); ++j) {
    double acc = 0.0;
    for (std::size_t k = 0; k <= j && k < taps.size(); ++k) {
      acc += taps[k] * x[j - k];
    }
    out[j] = acc;
  }
  return out;
}

std::vector<std::uint64_t> Bits(const double* values, std::size_t count) {
  std::vector<std::uint64_t> bits(count);
  for (std::size_t i = 0; i < count; ++i) {
    bits[i] = std::bit_cast<std::uint64_t>(values[i]);
  }
  return bits;
}

// Every size up to 300 covers the ramp at the start, the wide blocks and every remainder; one
// large size the long run. Tap counts below, at and above the filters' 128, and none at all.
// Bits must match, and nothing past the end may be written.
TEST(CausalConvolution, EveryPathMatchesThePlainLoopBitForBit) {
  constexpr double kGuard = -123.25;
  std::vector<std::size_t> sizes;
  for (std::size_t size = 0; size <= 300; ++size) {
    sizes.push_back(size);
  }
  sizes.push_back(5000);
  for (const std::size_t tapCount : {0U, 1U, 5U, 128U, 200U}) {
    const std::vector<double> taps = TestSignal(tapCount, 7);
    for (const std::size_t size : sizes) {
      const std::vector<double> x = TestSignal(size, static_cast<std::uint32_t>(size));
      const std::vector<double> want = PlainConvolution(taps, x);
      for (const detail::SimdPath path : detail::AvailableSimdPaths()) {
        std::vector<double> out(size + 4, kGuard);
        detail::CausalConvolutionOn(path, taps.data(), tapCount, x.data(), out.data(), size);
        EXPECT_EQ(Bits(out.data(), size), Bits(want.data(), size))
            << detail::SimdPathName(path) << ", " << tapCount << " taps, size " << size;
        EXPECT_EQ(std::vector<double>(out.begin() + static_cast<std::ptrdiff_t>(size), out.end()),
                  std::vector<double>(4, kGuard))
            << detail::SimdPathName(path) << ", " << tapCount << " taps, size " << size;
      }
    }
  }
}

}  // namespace
}  // namespace tolvane::test
