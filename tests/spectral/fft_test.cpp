#include "spectral/fft.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "spectral/detail/allocation.h"
#include "spectral/engine_status.h"
#include "spectral/glibc_trig.h"
#include "tests/spectral/engine_fixture.h"

namespace tolvane::test {
namespace {

class FftTest : public EngineFixture {};

struct Spectrum {
  std::vector<double> re;
  std::vector<double> im;
};

Spectrum Transform(const std::vector<double>& x, std::int32_t flag) {
  const auto n = static_cast<std::uint32_t>(x.size());
  Spectrum out{std::vector<double>(n), std::vector<double>(n)};
  EXPECT_EQ(ComputeFft(x.data(), out.re.data(), out.im.data(), n, flag), StatusOk);
  return out;
}

// Direct evaluation of the DFT in long double; sign -1 forward, +1 inverse (then scaled by 1/n).
Spectrum DirectDft(const std::vector<double>& x, int sign) {
  const std::size_t n = x.size();
  std::vector<long double> cosine(n);
  std::vector<long double> sine(n);
  for (std::size_t i = 0; i < n; ++i) {
    const long double angle = 2 * std::numbers::pi_v<long double> * i / n;
    cosine[i] = std::cos(angle);
    sine[i] = std::sin(angle);
  }
  Spectrum out{std::vector<double>(n), std::vector<double>(n)};
  for (std::size_t k = 0; k < n; ++k) {
    long double re = 0;
    long double im = 0;
    for (std::size_t m = 0; m < n; ++m) {
      const std::size_t index = k * m % n;
      re += x[m] * cosine[index];
      im += sign * x[m] * sine[index];
    }
    const long double scale = sign > 0 ? static_cast<long double>(n) : 1;
    out.re[k] = static_cast<double>(re / scale);
    out.im[k] = static_cast<double>(im / scale);
  }
  return out;
}

// Inputs lie in [-1, 1), so every intermediate value is at most n in magnitude. Each of the
// log2(n) stages rounds once or twice relative to such values, and the table entries are
// accurate to a few ulps, so the error of a bin stays below a small multiple of
// n * eps * (log2(n) + 1); the inverse divides that by n.
double ForwardTolerance(std::uint32_t n) {
  return n * DBL_EPSILON * (std::log2(static_cast<double>(n)) + 1);
}

TEST_F(FftTest, AgreesWithDirectDftForEveryPowerOfTwoUpTo4096) {
  for (std::uint32_t n = 1; n <= 4096; n *= 2) {
    SCOPED_TRACE(n);
    const std::vector<double> x = TestSignal(n, n);
    for (const std::int32_t flag : {0, 1}) {
      const Spectrum fast = Transform(x, flag);
      const Spectrum direct = DirectDft(x, flag == 0 ? -1 : 1);
      const double tolerance = ForwardTolerance(n) / (flag == 0 ? 1 : n);
      for (std::uint32_t k = 0; k < n; ++k) {
        ASSERT_NEAR(fast.re[k], direct.re[k], tolerance) << "flag " << flag << " bin " << k;
        ASSERT_NEAR(fast.im[k], direct.im[k], tolerance) << "flag " << flag << " bin " << k;
      }
    }
  }
}

TEST_F(FftTest, SpectrumOfRealInputIsConjugateSymmetric) {
  for (const std::uint32_t n : {2U, 8U, 64U, 1024U}) {
    const Spectrum s = Transform(TestSignal(n, 3), 0);
    EXPECT_EQ(s.im[0], 0.0);
    EXPECT_EQ(s.im[n / 2], 0.0);
    for (std::uint32_t k = 1; k < n; ++k) {
      EXPECT_NEAR(s.re[n - k], s.re[k], ForwardTolerance(n)) << n << " " << k;
      EXPECT_NEAR(s.im[n - k], -s.im[k], ForwardTolerance(n)) << n << " " << k;
    }
  }
}

TEST_F(FftTest, SmallestLengthsAreExact) {
  // n = 1 is the identity in either direction; n = 2 is the sum and the difference.
  for (const std::int32_t flag : {0, 1, 2}) {
    EXPECT_EQ(Transform({-2.5}, flag).re, std::vector<double>{-2.5});
    EXPECT_EQ(Transform({-2.5}, flag).im, std::vector<double>{0.0});
  }
  EXPECT_EQ(Transform({3.0, 1.0}, 0).re, (std::vector<double>{4.0, 2.0}));
  EXPECT_EQ(Transform({3.0, 1.0}, 0).im, (std::vector<double>{0.0, 0.0}));
  EXPECT_EQ(Transform({3.0, 1.0}, 1).re, (std::vector<double>{2.0, 1.0}));
  EXPECT_EQ(Transform({3.0, 1.0}, 2).re, (std::vector<double>{4.0, 2.0}));
}

TEST_F(FftTest, InverseOfImpulseIsFlat) {
  std::vector<double> impulse(128, 0.0);
  impulse[0] = 1.0;
  const Spectrum s = Transform(impulse, 1);
  for (std::size_t i = 0; i < 128; ++i) {
    EXPECT_EQ(s.re[i], 1.0 / 128) << i;
    EXPECT_EQ(s.im[i], 0.0) << i;
  }
}

TEST_F(FftTest, DividesByNOnlyForFlagOne) {
  // Dividing by a power of two is exact, so flag 1 is flag 2 scaled down bit for bit.
  const std::vector<double> x = TestSignal(256, 9);
  const Spectrum unscaled = Transform(x, 2);
  const Spectrum scaled = Transform(x, 1);
  for (std::size_t k = 0; k < x.size(); ++k) {
    EXPECT_EQ(scaled.re[k], unscaled.re[k] / 256) << k;
    EXPECT_EQ(scaled.im[k], unscaled.im[k] / 256) << k;
  }
}

TEST_F(FftTest, RefusesLengthsThatAreNotPowersOfTwo) {
  std::vector<double> src(200, 1.0);
  for (const std::uint32_t n : {0U, 3U, 6U, 100U, 129U, 0x80000001U, 0xFFFFFFFFU}) {
    std::vector<double> re(4, 7.0);
    std::vector<double> im(4, 7.0);
    EXPECT_EQ(ComputeFft(src.data(), re.data(), im.data(), n, 0), StatusInvalid) << n;
    EXPECT_EQ(re, std::vector<double>(4, 7.0));
    EXPECT_EQ(im, std::vector<double>(4, 7.0));
  }
  double out[2] = {};
  EXPECT_EQ(ComputeFft(nullptr, out, out + 1, 1, 0), StatusInvalid);
}

TEST_F(FftTest, WithoutStorageForItsTablesLeavesOutputsAlone) {
  const std::vector<double> src = TestSignal(64);
  for (const std::uint64_t failing : {1U, 2U}) {
    std::vector<double> re(64, 7.0);
    std::vector<double> im(64, 7.0);
    detail::FailNthAllocation(failing);
    EXPECT_EQ(ComputeFft(src.data(), re.data(), im.data(), 64, 0), StatusNoMemory);
    EXPECT_FALSE(detail::AllocationFailurePending());
    EXPECT_EQ(re, std::vector<double>(64, 7.0));
    EXPECT_EQ(im, std::vector<double>(64, 7.0));
  }
}

// The table the browser build reads sin and cos from holds glibc's bits for every argument the
// sine tables and the filter window are built from.
TEST(GlibcTrig, TableHoldsEveryArgumentTheSpectraUse) {
  for (std::uint32_t n = 1; n != 0; n <<= 1U) {
    const double x = std::numbers::pi / static_cast<double>(n);
    ASSERT_TRUE(TabulatedSin(x).has_value()) << n;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(*TabulatedSin(x)),
              std::bit_cast<std::uint64_t>(std::sin(x)));
  }
  for (int i = 0; i < 128; ++i) {
    const auto x = static_cast<double>(i);
    for (const double argument :
         {x * 2.0 * std::numbers::pi / 127.0, x * 4.0 * std::numbers::pi / 127.0}) {
      ASSERT_TRUE(TabulatedCos(argument).has_value()) << i;
      EXPECT_EQ(std::bit_cast<std::uint64_t>(*TabulatedCos(argument)),
                std::bit_cast<std::uint64_t>(std::cos(argument)));
    }
  }
  EXPECT_FALSE(TabulatedSin(0.25).has_value());
}

}  // namespace
}  // namespace tolvane::test
