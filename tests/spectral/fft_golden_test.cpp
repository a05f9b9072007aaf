// Pins the exact bits the transform produces. Rankings break ties on exact equality of peak
// powers, so any change to the order of floating-point operations (a different twiddle
// recurrence, fused multiply-adds, a reordered butterfly) must show up here, not in a user's
// ranking. The fingerprints were taken with -O0 and -O2, under g++ and clang++.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "spectral/detail/fft_on_path.h"
#include "spectral/detail/simd_path.h"
#include "spectral/engine_status.h"
#include "spectral/fft.h"

namespace tolvane::test {
namespace {

// A fixed input in [-5, 15) from a 64-bit LCG, independent of the standard library's engines.
std::vector<double> LcgSignal(std::uint32_t n) {
  std::vector<double> values(n);
  std::uint64_t state = 12345;
  for (double& v : values) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    v = static_cast<double>(state >> 11) / 9007199254740992.0 * 20.0 - 5.0;
  }
  return values;
}

// FNV-1a over the little-endian bytes of every value.
std::uint64_t Fingerprint(const std::vector<double>& values, std::uint64_t hash) {
  for (double v : values) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    for (int byte = 0; byte < 8; ++byte) {
      hash ^= (bits >> (8 * byte)) & 0xFFU;
      hash *= 1099511628211ULL;
    }
  }
  return hash;
}

struct Golden {
  std::uint32_t n;
  std::int32_t flag;
  std::uint64_t fingerprint;
};

constexpr Golden kGolden[] = {
    {1, 0, 0xc84ff974cd3a407eull},     {1, 1, 0xc84ff974cd3a407eull},
    {2, 0, 0x91fb78ce9816ed4dull},     {2, 1, 0x4726e2a256d67935ull},
    {4, 0, 0x152a966419df00ecull},     {4, 1, 0x06c6c17f4af63a0dull},
    {8, 0, 0x1847c03be5daea32ull},     {8, 1, 0x5a9eee3ae915d0d6ull},
    {16, 0, 0x7390de07b3a00402ull},    {16, 1, 0x49a1b90035564d47ull},
    {32, 0, 0x7114dfd1e4ef477bull},    {32, 1, 0xa5930e49f47b12c6ull},
    {64, 0, 0x430709310e4294bdull},    {64, 1, 0x8f20844e0f9e88dcull},
    {128, 0, 0x6aa239410026bffbull},   {128, 1, 0x9ba6da6609dda20eull},
    {256, 0, 0x884c4df1275f2c9bull},   {256, 1, 0x599d597ee2fbdfdaull},
    {512, 0, 0x78cbce2ed42ab05bull},   {512, 1, 0x645b1836e59f0d52ull},
    {1024, 0, 0x060026fb1638f06dull},  {1024, 1, 0xe681c064fce2f5bcull},
    {2048, 0, 0x1fe651ccb2978f6bull},  {2048, 1, 0xd6bad93303ab21b6ull},
    {4096, 0, 0x3359fd654f3e0ddfull},  {4096, 1, 0xf831e871be362f7eull},
    {8192, 0, 0x43b475ca6f6c3ffcull},  {8192, 1, 0xaacd3d283206a201ull},
    {16384, 0, 0x64027d8f43f9aee5ull}, {16384, 1, 0xc62180a133b17750ull},
    {32768, 0, 0x2e5b3c2f9713d1e4ull}, {32768, 1, 0xf54fb1750a651502ull},
    {65536, 0, 0x69dedcf89b6d56d6ull}, {65536, 1, 0xe627d360d536766cull},
};

TEST(FftGolden, EveryLengthUpTo65536GivesTheSameBitsAsEver) {
  for (const Golden& golden : kGolden) {
    const std::vector<double> src = LcgSignal(golden.n);
    std::vector<double> re(golden.n);
    std::vector<double> im(golden.n);
    ASSERT_EQ(ComputeFft(src.data(), re.data(), im.data(), golden.n, golden.flag), StatusOk);
    const std::uint64_t fingerprint = Fingerprint(im, Fingerprint(re, 14695981039346656037ULL));
    EXPECT_EQ(fingerprint, golden.fingerprint) << "n = " << golden.n << ", flag " << golden.flag;
  }
}

// ComputeFft runs the widest path the processor has; the narrower ones must give the same bits.
TEST(FftGolden, EveryInstructionSetPathGivesTheSameBits) {
  for (const detail::SimdPath path : detail::AvailableSimdPaths()) {
    for (const Golden& golden : kGolden) {
      const std::vector<double> src = LcgSignal(golden.n);
      std::vector<double> re(golden.n);
      std::vector<double> im(golden.n);
      ASSERT_EQ(detail::ComputeFftOn(path, src.data(), re.data(), im.data(), golden.n, golden.flag),
                StatusOk);
      const std::uint64_t fingerprint = Fingerprint(im, Fingerprint(re, 14695981039346656037ULL));
      EXPECT_EQ(fingerprint, golden.fingerprint)
          << detail::SimdPathName(path) << ", n = " << golden.n << ", flag " << golden.flag;
    }
  }
}

// Signed zeros, subnormals, overflow, infinities and NaNs: the vector paths must not take any
// shortcut the scalar loops do not (skipping a product with a zero imaginary part changes the
// sign of zero sums and turns inf * 0 = NaN into inf). Every input reaches every bin, so one NaN
// would hide the signs of zeros: each input draws from its own small palette. Any NaN matches
// any NaN.
TEST(FftGolden, PathsAgreeOnSpecialValues) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  constexpr double kTiny = std::numeric_limits<double>::denorm_min();
  constexpr double kHuge = std::numeric_limits<double>::max();
  const std::vector<std::vector<double>> palettes = {
      {-0.0},
      {0.0, -0.0},
      {0.0, -0.0, kTiny, -kTiny},
      {0.0, -0.0, kHuge, -kHuge, 1.0},
      {0.0, -0.0, kInf},
      {0.0, -0.0, kInf, -kInf, std::numeric_limits<double>::quiet_NaN(), kTiny, kHuge, -3.5},
  };
  const auto sameBits = [](double a, double b) {
    return (std::isnan(a) && std::isnan(b)) ||
           std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
  };
  // 16 and 2048 leave an even and an odd number of stages after the first two.
  for (const std::uint32_t n : {8U, 16U, 32U, 2048U}) {
    for (std::size_t palette = 0; palette < palettes.size(); ++palette) {
      const std::vector<double>& values = palettes[palette];
      std::vector<double> src(n);
      for (std::size_t i = 0; i < n; ++i) {
        src[i] = values[(i * 2654435761U + n) % 1000003U % values.size()];
      }
      for (const std::int32_t flag : {0, 1, 2}) {
        std::vector<double> wantRe(n);
        std::vector<double> wantIm(n);
        ASSERT_EQ(detail::ComputeFftOn(detail::SimdPath::kScalar, src.data(), wantRe.data(),
                                       wantIm.data(), n, flag),
                  StatusOk);
        for (const detail::SimdPath path : detail::AvailableSimdPaths()) {
          std::vector<double> re(n);
          std::vector<double> im(n);
          ASSERT_EQ(detail::ComputeFftOn(path, src.data(), re.data(), im.data(), n, flag),
                    StatusOk);
          for (std::size_t i = 0; i < n; ++i) {
            ASSERT_TRUE(sameBits(re[i], wantRe[i]) && sameBits(im[i], wantIm[i]))
                << detail::SimdPathName(path) << ", n = " << n << ", palette " << palette
                << ", flag " << flag << ", bin " << i << ": " << re[i] << ", " << im[i]
                << " instead of " << wantRe[i] << ", " << wantIm[i];
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace tolvane::test
