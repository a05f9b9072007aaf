#include "spectral/fir_filter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "spectral/detail/allocation.h"
#include "spectral/engine_status.h"
#include "spectral/slot_table.h"
#include "tests/spectral/engine_fixture.h"

namespace tolvane::test {
namespace {

class FirFilterTest : public EngineFixture {};

double Window(std::size_t i) {
  const double x = 2 * std::numbers::pi * static_cast<double>(i) / 127;
  return 0.42 - 0.5 * std::cos(x) + 0.08 * std::cos(2 * x);
}

std::vector<double> Kernel(const FirFilter& filter) {
  const double* taps = SlotValues(filter.slot);
  return {taps, taps + SlotLength(filter.slot)};
}

// The convolution as plainly stated: from 0.0, taps in increasing order.
std::vector<double> Convolve(const std::vector<double>& taps, const std::vector<double>& x) {
  std::vector<double> y(x.size());
  for (std::size_t j = 0; j < x.size(); ++j) {
    double acc = 0.0;
    for (std::size_t k = 0; k <= j && k < taps.size(); ++k) {
      acc += taps[k] * x[j - k];
    }
    y[j] = acc;
  }
  return y;
}

TEST_F(FirFilterTest, BlackmanWindowIsSymmetricAndVanishesAtTheEnds) {
  std::vector<double> w(128, 1.0);
  ApplyBlackmanWindow(w.data());
  EXPECT_NEAR(w[0], 0.0, 1e-15);
  EXPECT_NEAR(w[127], 0.0, 1e-15);
  EXPECT_NEAR(w[63], 0.99975, 1e-5);
  for (std::size_t i = 0; i < 128; ++i) {
    EXPECT_NEAR(w[i], w[127 - i], 1e-15) << i;
    EXPECT_NEAR(w[i], Window(i), 1e-15) << i;
  }
}

TEST_F(FirFilterTest, LowPassKernelIsTheWindowOver128) {
  const HeldEngine engine = HoldEngine();
  FirFilter filter;
  ASSERT_EQ(DesignLowPass(filter), StatusOk);
  EXPECT_EQ(filter.kind, 0);
  EXPECT_EQ(filter.designRate, 22050);
  EXPECT_EQ(filter.cutoff, 1);
  const std::vector<double> kernel = Kernel(filter);
  ASSERT_EQ(kernel.size(), 128U);
  double sum = 0;
  for (std::size_t i = 0; i < 128; ++i) {
    EXPECT_NEAR(kernel[i], Window(i) / 128, 1e-17) << i;
    sum += kernel[i];
  }
  EXPECT_NEAR(sum, 0.41671875, 1e-14);
  EXPECT_NEAR(kernel[64], 0.0078105, 1e-7);
}

TEST_F(FirFilterTest, BandPassKernelKeepsOnlyEvenTaps) {
  const HeldEngine engine = HoldEngine();
  FirFilter filter;
  ASSERT_EQ(DesignBandPass(filter), StatusOk);
  EXPECT_EQ(filter.kind, 1);
  EXPECT_EQ(filter.bandLow, 1);
  EXPECT_EQ(filter.bandHigh, 11024);
  const std::vector<double> kernel = Kernel(filter);
  ASSERT_EQ(kernel.size(), 128U);
  for (std::size_t i = 0; i < 128; ++i) {
    double expected = 0.0;
    if (i == 64) {
      expected = Window(64) * (1 - 2.0 / 128);
    } else if (i % 2 == 0) {
      expected = -Window(i) / 64;
    }
    EXPECT_NEAR(kernel[i], expected, 1e-15) << i;
  }
  EXPECT_NEAR(kernel[64], 0.984128, 1e-6);
  EXPECT_NEAR(kernel[62], -0.0155898, 1e-7);
}

TEST_F(FirFilterTest, DesignsNeedTheEngineAndReplaceTheirOwnKernel) {
  FirFilter filter;
  EXPECT_EQ(DesignLowPass(filter), StatusNotInitialised);
  EXPECT_EQ(DesignBandPass(filter), StatusNotInitialised);
  EXPECT_EQ(filter.slot, -1);
  {
    const HeldEngine engine = HoldEngine();
    ASSERT_EQ(DesignLowPass(filter), StatusOk);
    ASSERT_EQ(DesignBandPass(filter), StatusOk);
    EXPECT_EQ(filter.slot, 0) << "the first kernel's slot was not given back";
    EXPECT_EQ(filter.cutoff, 0) << "a redesign starts from an empty filter";
    EXPECT_EQ(SlotLength(1), 0U);
    {
      FirFilter scoped;
      ASSERT_EQ(DesignLowPass(scoped), StatusOk);
      EXPECT_EQ(scoped.slot, 1);
    }
    EXPECT_EQ(SlotLength(1), 0U) << "a destroyed filter keeps its slot";
    filter.Reset();
    EXPECT_EQ(SlotLength(0), 0U);
    EXPECT_EQ(filter.kind, -1);
  }
}

TEST_F(FirFilterTest, FailedDesignsStoreNothingAndLeaveNoKernel) {
  const HeldEngine engine = HoldEngine();
  // Mask, real and imaginary arrays, the transform's two tables, then the slot's copy.
  for (std::uint64_t failing = 1; failing <= 6; ++failing) {
    FirFilter filter;
    detail::FailNthAllocation(failing);
    EXPECT_EQ(DesignBandPass(filter), StatusNoMemory) << failing;
    EXPECT_EQ(filter.slot, -1);
    EXPECT_EQ(filter.kind, -1);
    EXPECT_EQ(SlotLength(0), 0U);
  }
  std::vector<double> fill(1, 1.0);
  for (int i = 0; i < kSlotCount; ++i) {
    ASSERT_EQ(StoreSlot(fill.data(), 1), i);
  }
  FirFilter filter;
  EXPECT_EQ(DesignLowPass(filter), StatusNoFreeSlot);
  EXPECT_EQ(filter.slot, -1);
  OwnedSeries s = NewSeries({1, 2, 3});
  double* const before = s->data;
  EXPECT_EQ(ApplyFilter(filter, s.get()), StatusNoFilter);
  EXPECT_EQ(s->data, before);
  EXPECT_EQ(Values(s.get()), (std::vector<double>{1, 2, 3}));
}

// Bit-for-bit agreement with the plain convolution over sizes around the tap count and the
// blocks the fast loop works in.
TEST_F(FirFilterTest, FilteringMatchesThePlainConvolutionExactly) {
  const HeldEngine engine = HoldEngine();
  for (const std::int32_t kind : {kFilterLowPass, kFilterBandPass}) {
    FirFilter filter;
    ASSERT_EQ(kind == kFilterLowPass ? DesignLowPass(filter) : DesignBandPass(filter), StatusOk);
    for (const std::size_t size : {1U, 5U, 7U, 8U, 9U, 126U, 127U, 128U, 129U, 135U, 136U, 1001U}) {
      const std::vector<double> x = TestSignal(size, static_cast<std::uint32_t>(size));
      OwnedSeries s = NewSeries(x, 3);
      ASSERT_EQ(ApplyFilter(filter, s.get()), StatusOk);
      EXPECT_EQ(s->size, size);
      EXPECT_EQ(s->rate, 3U);
      EXPECT_EQ(Values(s.get()), Convolve(Kernel(filter), x))
          << "kind " << kind << " size " << size;
    }
  }
}

TEST_F(FirFilterTest, LowPassOfAConstantRisesToTheKernelSum) {
  const HeldEngine engine = HoldEngine();
  FirFilter filter;
  ASSERT_EQ(DesignLowPass(filter), StatusOk);
  const std::vector<double> taps = Kernel(filter);
  OwnedSeries s = NewSeries(std::vector<double>(300, 1.0));
  ASSERT_EQ(ApplyFilter(filter, s.get()), StatusOk);
  double partial = 0.0;
  for (std::size_t j = 0; j < 300; ++j) {
    partial += j < 128 ? taps[j] : 0.0;
    EXPECT_EQ(s->data[j], partial) << j;
  }
  EXPECT_NEAR(s->data[299], 0.41671875, 1e-14);
}

TEST_F(FirFilterTest, DecimationKeepsEveryNthOutputAndDividesTheRate) {
  const HeldEngine engine = HoldEngine();
  FirFilter filter;
  ASSERT_EQ(DesignLowPass(filter), StatusOk);
  filter.decimation = 2;
  const std::vector<double> x = TestSignal(11);
  const std::vector<double> full = Convolve(Kernel(filter), x);
  OwnedSeries s = NewSeries(x, 5);
  ASSERT_EQ(ApplyFilter(filter, s.get()), StatusOk);
  EXPECT_EQ(Values(s.get()),
            (std::vector<double>{full[0], full[2], full[4], full[6], full[8], full[10]}));
  EXPECT_EQ(s->rate, 2U);
}

TEST_F(FirFilterTest, ApplyFilterFailuresLeaveTheSeriesExactlyAsItWas) {
  FirFilter filter;
  OwnedSeries s = NewSeries({1, 2, 3, 4, 5});
  double* const original = s->data;
  const auto unchanged = [&](const char* what) {
    EXPECT_EQ(s->data, original) << what;
    EXPECT_EQ(s->size, 5U) << what;
    EXPECT_EQ(s->rate, 1U) << what;
    EXPECT_EQ(Values(s.get()), (std::vector<double>{1, 2, 3, 4, 5})) << what;
  };
  EXPECT_EQ(ApplyFilter(filter, s.get()), StatusNotInitialised);
  unchanged("engine not acquired");

  const HeldEngine engine = HoldEngine();
  EXPECT_EQ(ApplyFilter(filter, s.get()), StatusNoFilter);
  unchanged("no kernel");
  ASSERT_EQ(DesignLowPass(filter), StatusOk);
  filter.decimation = 0;
  EXPECT_EQ(ApplyFilter(filter, s.get()), StatusNoFilter);
  unchanged("decimation 0");
  filter.decimation = 1;
  ReleaseSlot(filter.slot);
  EXPECT_EQ(ApplyFilter(filter, s.get()), StatusNoFilter);
  unchanged("kernel slot released behind the filter's back");
  ASSERT_EQ(DesignLowPass(filter), StatusOk);

  // Input copy, output, and the replacement array: a failure of the last one must not cost
  // the series its values.
  for (std::uint64_t failing = 1; failing <= 3; ++failing) {
    detail::FailNthAllocation(failing);
    EXPECT_EQ(ApplyFilter(filter, s.get()), StatusNoMemory) << failing;
    unchanged("allocation failure");
  }

  for (const WAData bad : {WAData{original, 0, 1}, WAData{original, 5, 0}}) {
    WAData copy = bad;
    EXPECT_EQ(ApplyFilter(filter, copy), StatusNoData);
    EXPECT_EQ(copy.data, original);
  }
  WAData empty{nullptr, 5, 1};
  EXPECT_EQ(ApplyFilter(filter, empty), StatusInvalid);
  EXPECT_EQ(empty.data, nullptr);
}

}  // namespace
}  // namespace tolvane::test
