#include "spectral/spectrum_record.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "spectral/detail/allocation.h"
#include "spectral/engine_status.h"
#include "spectral/fft.h"
#include "tests/spectral/engine_fixture.h"

namespace tolvane::test {
namespace {

class SpectrumRecordTest : public EngineFixture {};

std::int32_t Set(SpectrumRecord& record, const std::vector<double>& re,
                 const std::vector<double>& im) {
  return SetSpectrum(record, re.data(), im.data(), static_cast<std::uint32_t>(re.size()));
}

TEST_F(SpectrumRecordTest, CosineAtBinFiveNormalisesToOneAtBothMirrorBins) {
  std::vector<double> x(128);
  for (std::size_t i = 0; i < x.size(); ++i) {
    x[i] = std::cos(2 * std::numbers::pi * 5 * static_cast<double>(i) / 128);
  }
  std::vector<double> re(128);
  std::vector<double> im(128);
  ASSERT_EQ(ComputeFft(x.data(), re.data(), im.data(), 128, 0), StatusOk);
  OwnedSpectrum r;
  ASSERT_EQ(Set(r.get(), re, im), StatusOk);
  EXPECT_EQ(r->count, 128U);
  EXPECT_EQ(r->flags, 15U);
  for (std::size_t i = 0; i < 128; ++i) {
    const double expected = (i == 5 || i == 123) ? 1.0 : 0.0;
    EXPECT_NEAR(r->power[i], expected, 1e-12) << i;
    EXPECT_NEAR(r->amplitude[i], expected, 1e-12) << i;
  }
  EXPECT_EQ(r->real[5], re[5]);
  EXPECT_EQ(r->imag[5], im[5]);
}

// Bins 1 <= i < n/2 - 1 make the sums; a sum below 1e-6 leaves its array as it is.
TEST_F(SpectrumRecordTest, NormalisingSumsCoverExactlyTheInnerBins) {
  struct Case {
    const char* what;
    std::vector<double> re;
    std::vector<double> expectedPower;
  };
  const std::vector<Case> cases = {
      {"n = 4 sums no bin", {1, 2, 3, 4}, {1, 4, 9, 16}},
      {"n = 8 sums bins 1 and 2",
       {3, 2, 4, 5, 1, 1, 1, 1},
       {9 / 20.0, 4 / 20.0, 16 / 20.0, 25 / 20.0, 1 / 20.0, 1 / 20.0, 1 / 20.0, 1 / 20.0}},
      {"all zero", std::vector<double>(16, 0.0), std::vector<double>(16, 0.0)},
      {"sum below 1e-6", {0, 9e-4, 0, 0, 0, 0, 0, 0}, {0, 9e-4 * 9e-4, 0, 0, 0, 0, 0, 0}},
      {"sum above 1e-6", {0, 2e-3, 0, 0, 0, 0, 0, 0}, {0, 1, 0, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    OwnedSpectrum r;
    ASSERT_EQ(Set(r.get(), c.re, std::vector<double>(c.re.size(), 0.0)), StatusOk) << c.what;
    EXPECT_EQ(r->flags, 15U) << c.what;
    EXPECT_EQ(Power(r.get()), c.expectedPower) << c.what;
  }
}

TEST_F(SpectrumRecordTest, SetSpectrumRefillsAndMayReadTheRecordsOwnArrays) {
  OwnedSpectrum r;
  ASSERT_EQ(Set(r.get(), {1, 2, 3, 4}, {0, 0, 0, 0}), StatusOk);
  // Handing the record its own parts back must not read freed storage.
  ASSERT_EQ(SetSpectrum(r.get(), r->real, r->imag, 2), StatusOk);
  EXPECT_EQ(r->count, 2U);
  EXPECT_EQ(Power(r.get()), (std::vector<double>{1, 4}));
}

TEST_F(SpectrumRecordTest, SetSpectrumFailures) {
  OwnedSpectrum r;
  ASSERT_EQ(Set(r.get(), {1, 2, 3, 4}, {0, 0, 0, 0}), StatusOk);
  double* const before = r->power;
  const std::vector<double> parts(8, 1.0);
  EXPECT_EQ(SetSpectrum(r.get(), nullptr, parts.data(), 8), StatusInvalid);
  EXPECT_EQ(SetSpectrum(r.get(), parts.data(), nullptr, 8), StatusInvalid);
  EXPECT_EQ(SetSpectrum(r.get(), parts.data(), parts.data(), 0), StatusInvalid);
  EXPECT_EQ(r->power, before) << "an invalid call must leave the record untouched";
  EXPECT_EQ(r->count, 4U);

  // Any of the four arrays missing leaves an empty record and nothing allocated.
  for (std::uint64_t failing = 1; failing <= 4; ++failing) {
    ASSERT_EQ(Set(r.get(), {1, 2, 3, 4}, {0, 0, 0, 0}), StatusOk);
    detail::FailNthAllocation(failing);
    EXPECT_EQ(SetSpectrum(r.get(), parts.data(), parts.data(), 8), StatusNoMemory);
    EXPECT_EQ(r->count, 0U);
    EXPECT_EQ(r->flags, 0U);
    EXPECT_EQ(r->real, nullptr);
    EXPECT_EQ(r->imag, nullptr);
    EXPECT_EQ(r->power, nullptr);
    EXPECT_EQ(r->amplitude, nullptr);
  }
}

TEST_F(SpectrumRecordTest, GetPowerSpectrumNeedsCountAndFlags) {
  std::vector<double> out(4, 7.0);
  OwnedSpectrum r;
  EXPECT_FALSE(GetPowerSpectrum(r.get(), out.data()));
  ASSERT_EQ(Set(r.get(), {1, 2, 3, 4}, {0, 0, 0, 0}), StatusOk);
  r->flags = 0;
  EXPECT_FALSE(GetPowerSpectrum(r.get(), out.data()));
  EXPECT_EQ(out, std::vector<double>(4, 7.0));
  r->flags = 15;
  EXPECT_TRUE(GetPowerSpectrum(r.get(), out.data()));
  EXPECT_EQ(out, (std::vector<double>{1, 4, 9, 16}));

  ReleaseSpectrumRecord(r.get());
  EXPECT_EQ(r->count, 4U) << "release keeps count and flags";
  EXPECT_EQ(r->power, nullptr);
  EXPECT_FALSE(GetPowerSpectrum(r.get(), out.data()));
}

// The two-frame spectrum is the mean of what SetSpectrum makes of each frame on its own.
TEST_F(SpectrumRecordTest, HeadTailSpectrumAveragesTheNormalisedFrames) {
  for (const std::uint32_t length : {64U, 100U}) {
    const std::vector<double> work = TestSignal(length, 5);
    const std::uint32_t n = 64;
    OwnedSpectrum head;
    OwnedSpectrum tail;
    std::vector<double> re(n);
    std::vector<double> im(n);
    ASSERT_EQ(ComputeFft(work.data(), re.data(), im.data(), n, 0), StatusOk);
    ASSERT_EQ(Set(head.get(), re, im), StatusOk);
    ASSERT_EQ(ComputeFft(work.data() + (length - n), re.data(), im.data(), n, 0), StatusOk);
    ASSERT_EQ(Set(tail.get(), re, im), StatusOk);

    std::vector<double> power(n);
    std::vector<double> amplitude(n);
    ASSERT_EQ(ComputeHeadTailSpectrum(work.data(), power.data(), amplitude.data(), length, n),
              StatusOk);
    for (std::size_t i = 0; i < n; ++i) {
      EXPECT_EQ(power[i], (head->power[i] + tail->power[i]) * 0.5) << i;
      EXPECT_EQ(amplitude[i], (head->amplitude[i] + tail->amplitude[i]) * 0.5) << i;
    }
  }
}

TEST_F(SpectrumRecordTest, HeadTailSpectrumFailuresLeaveOutputsAlone) {
  const std::vector<double> work = TestSignal(100);
  std::vector<double> power(64, 7.0);
  std::vector<double> amplitude(64, 7.0);
  EXPECT_EQ(ComputeHeadTailSpectrum(work.data(), power.data(), amplitude.data(), 32, 64),
            StatusInvalid);
  EXPECT_EQ(ComputeHeadTailSpectrum(work.data(), power.data(), amplitude.data(), 100, 0),
            StatusInvalid);
  EXPECT_EQ(ComputeHeadTailSpectrum(work.data(), power.data(), amplitude.data(), 100, 48),
            StatusInvalid);
  // Four frame arrays, then two tables for each of the two transforms.
  for (std::uint64_t failing = 1; failing <= 8; ++failing) {
    detail::FailNthAllocation(failing);
    EXPECT_EQ(ComputeHeadTailSpectrum(work.data(), power.data(), amplitude.data(), 100, 64),
              StatusNoMemory)
        << failing;
  }
  EXPECT_EQ(power, std::vector<double>(64, 7.0));
  EXPECT_EQ(amplitude, std::vector<double>(64, 7.0));
}

}  // namespace
}  // namespace tolvane::test
