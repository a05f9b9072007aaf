#include "spectral/single_digit.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/diagnostic_log.h"
#include "spectral/detail/allocation.h"
#include "spectral/engine_status.h"
#include "spectral/fft.h"
#include "spectral/fir_filter.h"
#include "spectral/slot_table.h"
#include "tests/spectral/engine_fixture.h"

namespace tolvane::test {
namespace {

class SingleDigitTest : public EngineFixture {};

constexpr const char* kName = "Digit 3 Count";

// The power spectrum that transforming values[start, start + n) must give.
std::vector<double> FramePower(const std::vector<double>& values, std::size_t start,
                               std::uint32_t n) {
  std::vector<double> re(n);
  std::vector<double> im(n);
  EXPECT_EQ(ComputeFft(values.data() + start, re.data(), im.data(), n, 0), StatusOk);
  OwnedSpectrum r;
  EXPECT_EQ(SetSpectrum(r.get(), re.data(), im.data(), n), StatusOk);
  return Power(r.get());
}

std::vector<double> HeadTailPower(const std::vector<double>& values, std::uint32_t n) {
  std::vector<double> power(n);
  std::vector<double> amplitude(n);
  EXPECT_EQ(ComputeHeadTailSpectrum(values.data(), power.data(), amplitude.data(),
                                    static_cast<std::uint32_t>(values.size()), n),
            StatusOk);
  OwnedSpectrum r;
  EXPECT_EQ(SetSpectrum(r.get(), power.data(), amplitude.data(), n), StatusOk);
  return Power(r.get());
}

std::vector<double> Filtered(const std::vector<double>& values, std::int32_t kind) {
  const HeldEngine engine = HoldEngine();
  FirFilter filter;
  EXPECT_EQ(kind == kFilterLowPass ? DesignLowPass(filter) : DesignBandPass(filter), StatusOk);
  OwnedSeries s = NewSeries(values);
  EXPECT_EQ(ApplyFilter(filter, s.get()), StatusOk);
  return Values(s.get());
}

TEST(FrameLength, IsTheLargestPowerOfTwoNotAboveTheLength) {
  const std::vector<std::pair<std::uint32_t, std::uint32_t>> cases = {{0, 1},
                                                                      {1, 1},
                                                                      {2, 2},
                                                                      {3, 2},
                                                                      {100, 64},
                                                                      {127, 64},
                                                                      {128, 128},
                                                                      {129, 128},
                                                                      {65535, 32768},
                                                                      {65536, 65536},
                                                                      {0x80000000U, 0x80000000U},
                                                                      {0xFFFFFFFFU, 0x80000000U}};
  for (const auto& [length, expected] : cases) {
    EXPECT_EQ(FrameLength(length), expected) << length;
  }
}

TEST_F(SingleDigitTest, UnfilteredTraceAndSpectrum) {
  const std::vector<double> values = {0.5, 1, 1234567, 0.1 + 0.2, -2, 1e-7};
  OwnedSeries s = NewSeries(values);
  OwnedSpectrum r;
  ASSERT_EQ(ProcessSingleDigit(r.get(), s.get(), 6, kName, LogPath()), StatusOk);
  EXPECT_EQ(ReadLog(),
            "ProcessSingleDigit called for Digit 3 Count\n"
            "Data size: 6, nLen2: 4\n"
            "Input data for FFT: 0.5 1 1.23457e+06 0.3 -2 1e-07 \n"
            "FFT processing succeeded\n"
            "SetSpectrum succeeded\n");
  EXPECT_EQ(r->count, 4U);
  EXPECT_EQ(r->flags, 15U);
  EXPECT_EQ(Power(r.get()), FramePower(values, 0, 4));
  EXPECT_EQ(Values(s.get()), values);

  // A second call appends its trace, and a one-value series gives its raw square.
  OwnedSeries one = NewSeries({-3});
  ASSERT_EQ(ProcessSingleDigit(r.get(), one.get(), 1, kName, LogPath()), StatusOk);
  EXPECT_EQ(Power(r.get()), std::vector<double>{9});
  EXPECT_TRUE(ReadLog().ends_with(
      "SetSpectrum succeeded\nProcessSingleDigit called for Digit 3 Count\nData size: 1, nLen2: 1\n"
      "Input data for FFT: -3 \nFFT processing succeeded\nSetSpectrum succeeded\n"));
}

TEST_F(SingleDigitTest, FilteredTraceWithoutFilteringRepeatsTheInput) {
  const std::vector<double> values = {0.5, 1, 1234567, 0.1 + 0.2, -2, 1e-7};
  OwnedSeries s = NewSeries(values);
  double* const original = s->data;
  OwnedSpectrum r;
  ASSERT_EQ(ProcessSingleDigit(r.get(), s.get(), 6, kFrameHeadTail, kFilterNone, kName, LogPath()),
            StatusOk);
  EXPECT_EQ(ReadLog(),
            "ProcessSingleDigit called for Digit 3 Count\n"
            "fftFlag: -1, iFType: 2\n"
            "Data size: 6, nLen2: 4\n"
            "Input data for FFT: 0.5 1 1.23457e+06 0.3 -2 1e-07 \n"
            "Filtered data: 0.5 1 1.23457e+06 0.3 -2 1e-07 \n"
            "FFT processing succeeded\n"
            "SetSpectrum succeeded\n");
  EXPECT_EQ(s->data, original);
  EXPECT_EQ(Power(r.get()), HeadTailPower(values, 4));
}

// Which values were transformed, for every frame mode, with and without filtering.
TEST_F(SingleDigitTest, FrameModesTransformTheRightStretch) {
  struct Case {
    std::uint32_t length;
    std::int32_t fftFlag;
    std::size_t start;  // unused for the two-frame mode
  };
  const std::vector<Case> cases = {
      {100, kFrameHead, 0},     {100, kFrameTail, 36},    {100, kFrameCenter, 18},
      {100, kFrameHeadTail, 0}, {101, kFrameHead, 0},     {101, kFrameTail, 37},
      {101, kFrameCenter, 18},  {101, kFrameHeadTail, 0}, {128, kFrameTail, 0},
      {128, kFrameCenter, 0},   {128, kFrameHeadTail, 0}, {128, 7, 0},
  };
  for (const std::int32_t kind : {kFilterNone, kFilterLowPass, kFilterBandPass}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(::testing::Message()
                   << "kind " << kind << " length " << c.length << " flag " << c.fftFlag);
      const std::vector<double> input = TestSignal(c.length, c.length);
      const std::vector<double> values = kind == kFilterNone ? input : Filtered(input, kind);
      const std::uint32_t n = FrameLength(c.length);
      const std::vector<double> expected = c.fftFlag == kFrameHeadTail && c.length != n
                                               ? HeadTailPower(values, n)
                                               : FramePower(values, c.start, n);
      OwnedSeries s = NewSeries(input);
      OwnedSpectrum r;
      ASSERT_EQ(ProcessSingleDigit(r.get(), s.get(), c.length, c.fftFlag, kind, kName, ""),
                StatusOk);
      EXPECT_EQ(Power(r.get()), expected);
      EXPECT_EQ(Values(s.get()), values) << "the series must hold the filtered values";
      EXPECT_EQ(EngineUseCount(), 0U);
    }
  }
  // The frames differ, so a wrong start cannot pass by accident.
  const std::vector<double> x = TestSignal(100, 100);
  EXPECT_NE(FramePower(x, 0, 64), FramePower(x, 36, 64));
  EXPECT_NE(FramePower(x, 18, 64), FramePower(x, 36, 64));
}

TEST_F(SingleDigitTest, UndefinedFrameModeFailsAfterFiltering) {
  OwnedSeries s = NewSeries(TestSignal(100));
  OwnedSpectrum r;
  EXPECT_EQ(ProcessSingleDigit(r.get(), s.get(), 100, 7, kFilterNone, kName, LogPath()),
            StatusInvalid);
  const std::string log = ReadLog();
  const auto filtered = log.find("Filtered data: ");
  ASSERT_NE(filtered, std::string::npos);
  EXPECT_EQ(log.find('\n', filtered) + 1,
            log.size() - std::string("Undefined FFT processing flag\n").size());
  EXPECT_TRUE(log.ends_with("\nUndefined FFT processing flag\n"));
  EXPECT_EQ(r->count, 0U);
  EXPECT_EQ(r->power, nullptr);

  // At a power-of-two length the flag is never consulted.
  OwnedSeries whole = NewSeries(TestSignal(128));
  EXPECT_EQ(ProcessSingleDigit(r.get(), whole.get(), 128, 7, kFilterNone, kName, LogPath()),
            StatusOk);
  EXPECT_EQ(ReadLog().find("Undefined", log.size()), std::string::npos);
}

// A length of 0 still transforms one value; it must not pick a frame before the series.
TEST_F(SingleDigitTest, LengthZeroTransformsTheFirstValueInEveryMode) {
  for (const std::int32_t flag : {kFrameHead, kFrameTail, kFrameCenter, kFrameHeadTail, 7}) {
    OwnedSeries s = NewSeries({2, 5, 7});
    OwnedSpectrum r;
    ASSERT_EQ(ProcessSingleDigit(r.get(), s.get(), 0, flag, kFilterNone, kName, ""), StatusOk)
        << flag;
    EXPECT_EQ(Power(r.get()), std::vector<double>{4}) << flag;
  }
}

// A length beyond the series is refused before anything is touched.
TEST_F(SingleDigitTest, LengthBeyondTheSeriesIsRefused) {
  OwnedSeries s = NewSeries({1, 2, 3});
  double* const original = s->data;
  OwnedSpectrum r;
  OwnedSeries filler = NewSeries({1, 2, 3, 4});
  ASSERT_EQ(ProcessSingleDigit(r.get(), filler.get(), 4, kName, ""), StatusOk);
  double* const power = r->power;

  EXPECT_EQ(ProcessSingleDigit(r.get(), s.get(), 4, kName, LogPath()), StatusInvalid);
  EXPECT_EQ(ProcessSingleDigit(r.get(), s.get(), 64, kFrameHead, kFilterLowPass, kName, LogPath()),
            StatusInvalid);
  EXPECT_FALSE(std::filesystem::exists(LogPath()));
  EXPECT_EQ(r->power, power);
  EXPECT_EQ(r->count, 4U);
  EXPECT_EQ(s->data, original);
  EXPECT_EQ(Values(s.get()), (std::vector<double>{1, 2, 3}));
}

TEST_F(SingleDigitTest, SeriesWithoutValuesIsReported) {
  for (const WAData bad : {WAData{nullptr, 0, 1}, WAData{nullptr, 4, 1}}) {
    WAData series = bad;
    OwnedSpectrum r;
    OwnedSeries filler = NewSeries({1, 2});
    ASSERT_EQ(ProcessSingleDigit(r.get(), filler.get(), 2, kName, ""), StatusOk);
    EXPECT_EQ(ProcessSingleDigit(r.get(), series, series.size, kName, LogPath()), StatusInvalid);
    EXPECT_EQ(r->count, 0U) << "the unfiltered call empties the record first";
    EXPECT_EQ(r->real, nullptr);
    EXPECT_EQ(ProcessSingleDigit(r.get(), series, series.size, 0, 0, kName, LogPath()),
              StatusInvalid);
  }
  OwnedSeries rateless = NewSeries({1, 2}, 0);
  OwnedSpectrum r;
  EXPECT_EQ(ProcessSingleDigit(r.get(), rateless.get(), 2, 0, 0, kName, LogPath()), StatusInvalid);
  const std::string log = ReadLog();
  EXPECT_TRUE(log.ends_with("fftFlag: 0, iFType: 0\nError getting WAData\n"));
  EXPECT_EQ(log.find("Data size"), std::string::npos);
  EXPECT_EQ(EngineUseCount(), 0U);
}

// Both filters report a failure instead of going on with unfiltered values.
TEST_F(SingleDigitTest, FilterFailuresAreReportedForBothKinds) {
  const HeldEngine engine = HoldEngine();
  const std::vector<double> fill(1, 1.0);
  for (int i = 0; i < kSlotCount; ++i) {
    ASSERT_EQ(StoreSlot(fill.data(), 1), i);
  }
  for (const auto& [kind, status] :
       {std::pair{kFilterLowPass, StatusNoFilter}, std::pair{kFilterBandPass, StatusNoFreeSlot}}) {
    std::filesystem::remove(LogPath());
    OwnedSeries s = NewSeries({1, 2, 3});
    double* const original = s->data;
    OwnedSpectrum r;
    EXPECT_EQ(ProcessSingleDigit(r.get(), s.get(), 3, kFrameHead, kind, kName, LogPath()), status);
    const std::string log = ReadLog();
    EXPECT_TRUE(
        log.ends_with("\nFiltering failed with error code: " + std::to_string(status) + "\n"))
        << log;
    EXPECT_EQ(log.find("Filtered data"), std::string::npos);
    EXPECT_EQ(s->data, original);
    EXPECT_EQ(r->count, 0U);
    EXPECT_EQ(EngineUseCount(), 1U);
    EXPECT_EQ(SlotLength(99), 1U) << "the caller's slots must survive";
  }
}

// Called while the engine is already held, a call gives back the slot it used and nothing else.
TEST_F(SingleDigitTest, NestedCallReleasesOnlyItsOwnSlot) {
  const HeldEngine engine = HoldEngine();
  const std::vector<double> kernel(4, 0.5);
  ASSERT_EQ(StoreSlot(kernel.data(), 4), 0);
  for (const std::int32_t kind : {kFilterLowPass, kFilterBandPass}) {
    OwnedSeries s = NewSeries(TestSignal(200));
    OwnedSpectrum r;
    ASSERT_EQ(ProcessSingleDigit(r.get(), s.get(), 200, kFrameTail, kind, kName, ""), StatusOk);
    EXPECT_EQ(EngineUseCount(), 1U);
    EXPECT_EQ(SlotLength(0), 4U);
    EXPECT_EQ(SlotLength(1), 0U) << "the call's kernel slot was left in use";
  }
}

TEST_F(SingleDigitTest, EngineLinesJoinTheCallersOpenLogInOrder) {
  {
    DiagnosticLog callerLog(LogPath());
    callerLog << "caller before\n";
    OwnedSeries s = NewSeries({1, 2});
    OwnedSpectrum r;
    ASSERT_EQ(ProcessSingleDigit(r.get(), s.get(), 2, kName, LogPath()), StatusOk);
    callerLog << "caller after\n";
  }
  const std::string log = ReadLog();
  EXPECT_TRUE(log.starts_with("caller before\nProcessSingleDigit called for Digit 3 Count\n"));
  EXPECT_TRUE(log.ends_with("SetSpectrum succeeded\ncaller after\n"));
}

// Every allocation of a call, failed in turn: the status, the last log line, the series and the
// use counter. Runs of {count, last line, status} in allocation order.
struct FailureRun {
  int count;
  std::string lastLine;
  std::int32_t status;
};
struct FailureScenario {
  const char* label;
  bool filtered;
  std::int32_t fftFlag;
  std::int32_t iFType;
  std::vector<FailureRun> runs;
};

TEST_F(SingleDigitTest, EveryAllocationFailureIsReportedAndReleased) {
  const std::string work = "Memory allocation failed for FFT work arrays\n";
  const std::string fft = "FFT processing failed with error code: -2\n";
  const std::string set = "SetSpectrum failed with error code: -2\n";
  const std::string noKernel = "Filtering failed with error code: -202\n";
  const std::string filter = "Filtering failed with error code: -2\n";
  const std::vector<FailureScenario> scenarios = {
      // Work arrays (real, imaginary, copy), the transform's two tables, SetSpectrum's four.
      {"unfiltered", false, 0, 0, {{3, work, -2}, {2, fft, -2}, {4, set, -2}}},
      // The design (mask, real, imaginary, two tables, slot), then ApplyFilter (input, output,
      // replacement). A failed low-pass design shows up as a missing kernel.
      {"low-pass",
       true,
       kFrameHead,
       kFilterLowPass,
       {{3, work, -2}, {6, noKernel, -202}, {3, filter, -2}, {2, fft, -2}, {4, set, -2}}},
      {"band-pass",
       true,
       kFrameTail,
       kFilterBandPass,
       {{3, work, -2}, {6, filter, -2}, {3, filter, -2}, {2, fft, -2}, {4, set, -2}}},
      // Two frames: four frame arrays and two transforms.
      {"two frames",
       true,
       kFrameHeadTail,
       kFilterNone,
       {{3, work, -2}, {8, fft, -2}, {4, set, -2}}},
  };
  const std::vector<double> input = TestSignal(100);
  for (const FailureScenario& scenario : scenarios) {
    const auto call = [&](SpectrumRecord& record, WAData& series, const std::string& logPath) {
      return scenario.filtered ? ProcessSingleDigit(record, series, 100, scenario.fftFlag,
                                                    scenario.iFType, kName, logPath)
                               : ProcessSingleDigit(record, series, 100, kName, logPath);
    };
    std::uint64_t failing = 0;
    for (const FailureRun& run : scenario.runs) {
      for (int i = 0; i < run.count; ++i) {
        ++failing;
        SCOPED_TRACE(::testing::Message() << scenario.label << ", allocation " << failing);
        std::filesystem::remove(LogPath());
        OwnedSeries s = NewSeries(input);
        double* const original = s->data;
        OwnedSpectrum r;
        detail::FailNthAllocation(failing);
        EXPECT_EQ(call(r.get(), s.get(), LogPath()), run.status);
        EXPECT_FALSE(detail::AllocationFailurePending());
        EXPECT_TRUE(ReadLog().ends_with(run.lastLine)) << ReadLog();
        EXPECT_EQ(r->count, 0U);
        EXPECT_EQ(r->power, nullptr);
        EXPECT_EQ(EngineUseCount(), 0U);
        if (run.lastLine == work || run.lastLine.starts_with("Filtering")) {
          EXPECT_EQ(s->data, original);
          EXPECT_EQ(Values(s.get()), input);
        }
      }
    }
    // One allocation further on, the call no longer fails.
    detail::FailNthAllocation(failing + 1);
    OwnedSeries s = NewSeries(input);
    OwnedSpectrum r;
    EXPECT_EQ(call(r.get(), s.get(), ""), StatusOk) << scenario.label;
    EXPECT_TRUE(detail::AllocationFailurePending())
        << scenario.label << " made more allocations than listed";
    detail::FailNthAllocation(0);
  }
}

}  // namespace
}  // namespace tolvane::test
