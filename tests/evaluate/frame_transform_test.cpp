#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>
#include <vector>

#include "evaluate/frame_peaks.h"
#include "evaluate/shared_transform.h"
#include "spectral/fft.h"
#include "spectral/spectrum_record.h"

namespace tolvane::test {
namespace {

bool SameBits(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// Small counts (as the raw series) or arbitrary reals (as filtered ones).
std::vector<double> Series(std::size_t size, bool counts, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> count(0, 5);
  std::uniform_real_distribution<double> real(-3.0, 3.0);
  std::vector<double> values(size);
  for (double& value : values) {
    value = counts ? count(random) : real(random);
  }
  return values;
}

double RecordPeak(const SpectrumRecord& record) {
  double peak = record.power[0];
  for (std::uint32_t i = 0; i < record.count; ++i) {
    peak = record.power[i] > peak ? record.power[i] : peak;
  }
  return peak;
}

// Every window's transform and both scores are the engine's bits: the transform against
// ComputeFft, the single-frame peak against SetSpectrum, the head-and-tail peak against
// ComputeHeadTailSpectrum followed by SetSpectrum.
TEST(FrameTransform, SharedStagesAndPeaksGiveTheEnginesBits) {
  struct Case {
    std::uint32_t n;
    std::uint32_t lo;
    std::uint32_t hi;
  };
  const std::vector<Case> cases = {{1, 0, 3},     {2, 0, 2},    {4, 3, 3},
                                   {8, 0, 9},     {16, 5, 40},  {64, 0, 63},
                                   {256, 17, 30}, {1024, 0, 2}, {4096, 100, 103}};
  SharedStageTransform transform;  // one for all, as a worker keeps it
  for (const bool counts : {true, false}) {
    for (const Case& c : cases) {
      SCOPED_TRACE("n " + std::to_string(c.n) + (counts ? " counts" : " reals"));
      const std::vector<double> values = Series(c.hi + c.n, counts, c.n + c.lo);
      transform.Prepare(values.data(), c.n, c.lo, c.hi);

      std::vector<double> re(c.n), im(c.n), wantRe(c.n), wantIm(c.n);
      std::vector<double> htPower(c.n), htAmplitude(c.n);
      FrameSpectrum head;
      FrameSpectrum tail;
      ASSERT_EQ(ComputeFft(values.data(), wantRe.data(), wantIm.data(), c.n, 0), 0);
      NormalisedSpectrum(wantRe.data(), wantIm.data(), c.n, head);
      for (std::uint32_t start = c.lo; start <= c.hi; ++start) {
        transform.Window(start, re.data(), im.data());
        ASSERT_EQ(ComputeFft(values.data() + start, wantRe.data(), wantIm.data(), c.n, 0), 0);
        for (std::uint32_t i = 0; i < c.n; ++i) {
          ASSERT_TRUE(SameBits(re[i], wantRe[i]) && SameBits(im[i], wantIm[i]))
              << "start " << start << " bin " << i;
        }

        OwnedSpectrum single;
        ASSERT_EQ(SetSpectrum(single.get(), wantRe.data(), wantIm.data(), c.n), 0);
        EXPECT_TRUE(SameBits(SingleFramePeak(re.data(), im.data(), c.n), RecordPeak(single.get())));

        if (start == 0) {
          continue;  // a head-and-tail frame always has spare values
        }
        ASSERT_EQ(ComputeHeadTailSpectrum(values.data(), htPower.data(), htAmplitude.data(),
                                          start + c.n, c.n),
                  0);
        OwnedSpectrum headTail;
        ASSERT_EQ(SetSpectrum(headTail.get(), htPower.data(), htAmplitude.data(), c.n), 0);
        EXPECT_TRUE(SameBits(HeadTailPeak(head, re.data(), im.data(), c.n, tail),
                             RecordPeak(headTail.get())));
      }
    }
  }
}

}  // namespace
}  // namespace tolvane::test
