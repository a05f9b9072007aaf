// Pins the exact bits the transform produces. Rankings break ties on exact equality of peak
// powers, so any change to the order of floating-point operations (a different twiddle
// recurrence, fused multiply-adds, a reordered butterfly) must show up here, not in a user's
// ranking. The fingerprints were taken with -O0 and -O2, under g++ and clang++.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

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

}  // namespace
}  // namespace tolvane::test
