#include "predict/digit_prediction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "predict/narrow_texts.h"
#include "tests/support/temp_dir.h"

namespace tolvane::test {
namespace {

// A borrowed series view over a vector; the predictors only read it.
WAData SeriesOf(std::vector<double>& values) {
  return WAData{values.data(), static_cast<std::uint32_t>(values.size()), 1};
}

std::string Ranking(const std::string& digits) {
  return std::string(kPowerSpectrumPrefix) + digits;
}

// Cycles 0 and 2 hold 0..9 then 0..4, cycles 1 and 3 fifteen 5s.
std::vector<double> WorkedExample() {
  std::vector<double> values;
  for (int cycle = 0; cycle < 4; ++cycle) {
    for (int i = 0; i < 15; ++i) {
      values.push_back(cycle % 2 == 0 ? (i < 10 ? i : i - 10) : 5);
    }
  }
  return values;
}

// Lines the predictor itself writes, in order, without the engine's.
std::vector<std::string> PredictorLines(const std::vector<std::string>& lines) {
  const std::vector<std::string> prefixes = {"PredictPowerSpectrumDigit called for ",
                                             "PredictDigit called for ",
                                             "Data Size: ",
                                             "Number of Cycles: ",
                                             "Digit ",
                                             "Processing digit ",
                                             "Error in ",
                                             "Power Spectrum for digit "};
  std::vector<std::string> own;
  for (const std::string& line : lines) {
    for (const std::string& prefix : prefixes) {
      if (line.starts_with(prefix)) {
        own.push_back(line);
        break;
      }
    }
  }
  return own;
}

TEST(PowerSpectrumDigit, WorkedExampleRanksByPeakPower) {
  TempDir dir;
  const std::string log = dir.File("trace.log");
  std::vector<double> values = WorkedExample();
  SpectrumRecord workspace{};

  const std::string result = PredictPowerSpectrumDigit(workspace, SeriesOf(values), "label", log);

  EXPECT_EQ(result, Ranking("5, 0, 1, 2, 3, 4, 6, 7, 8, 9"));
  const std::vector<std::string> expected = {"PredictPowerSpectrumDigit called for label",
                                             "Data Size: 60",
                                             "Number of Cycles: 4",
                                             "Digit 0 counts: 2 0 2 0 ",
                                             "Digit 1 counts: 2 0 2 0 ",
                                             "Digit 2 counts: 2 0 2 0 ",
                                             "Digit 3 counts: 2 0 2 0 ",
                                             "Digit 4 counts: 2 0 2 0 ",
                                             "Digit 5 counts: 1 15 1 15 ",
                                             "Digit 6 counts: 1 0 1 0 ",
                                             "Digit 7 counts: 1 0 1 0 ",
                                             "Digit 8 counts: 1 0 1 0 ",
                                             "Digit 9 counts: 1 0 1 0 ",
                                             "Processing digit 0",
                                             "Processing digit 1",
                                             "Processing digit 2",
                                             "Processing digit 3",
                                             "Processing digit 4",
                                             "Processing digit 5",
                                             "Processing digit 6",
                                             "Processing digit 7",
                                             "Processing digit 8",
                                             "Processing digit 9",
                                             "Power Spectrum for digit 0: 16",
                                             "Power Spectrum for digit 1: 16",
                                             "Power Spectrum for digit 2: 16",
                                             "Power Spectrum for digit 3: 16",
                                             "Power Spectrum for digit 4: 16",
                                             "Power Spectrum for digit 5: 1024",
                                             "Power Spectrum for digit 6: 4",
                                             "Power Spectrum for digit 7: 4",
                                             "Power Spectrum for digit 8: 4",
                                             "Power Spectrum for digit 9: 4"};
  EXPECT_EQ(PredictorLines(ReadLines(log)), expected);
}

// The engine writes through its own writer on the same path; its lines must sit inside the
// predictor's, in the order both were written.
TEST(PowerSpectrumDigit, EngineLinesInterleaveInWritingOrder) {
  TempDir dir;
  const std::string log = dir.File("trace.log");
  std::vector<double> values = WorkedExample();
  SpectrumRecord workspace{};
  PredictPowerSpectrumDigit(workspace, SeriesOf(values), "label", log);

  const std::vector<std::string> lines = ReadLines(log);
  ASSERT_GE(lines.size(), 13U);
  std::size_t at = 13;  // header and count lines come first
  for (int k = 0; k < 10; ++k) {
    const std::string digit = std::to_string(k);
    ASSERT_LT(at + 1, lines.size());
    EXPECT_EQ(lines[at++], "Processing digit " + digit);
    EXPECT_EQ(lines[at++], "ProcessSingleDigit called for Digit " + digit + " Count");
    while (at < lines.size() && !lines[at].starts_with("Processing digit ") &&
           !lines[at].starts_with("Power Spectrum for digit ")) {
      ++at;
    }
    EXPECT_EQ(lines[at - 1], "SetSpectrum succeeded");
  }
  EXPECT_EQ(lines.size() - at, 10U);
  EXPECT_EQ(lines.back(), "Power Spectrum for digit 9: 4");
}

TEST(PowerSpectrumDigit, CountsTruncateAndSkipValuesOutsideTheDigits) {
  TempDir dir;
  const std::string log = dir.File("trace.log");
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<double> values = {3.9,   10,     -1, -0.5, 9.99, nan, inf, -inf,
                                1e300, -1e300, 3,  0,    7,    -16, 4e9};
  SpectrumRecord workspace{};
  PredictPowerSpectrumDigit(workspace, SeriesOf(values), "x", log);

  const std::vector<std::string> lines = PredictorLines(ReadLines(log));
  ASSERT_GE(lines.size(), 13U);
  const std::vector<std::string> counts(lines.begin() + 3, lines.begin() + 13);
  const std::vector<std::string> expected = {
      "Digit 0 counts: 2 ", "Digit 1 counts: 0 ", "Digit 2 counts: 0 ", "Digit 3 counts: 2 ",
      "Digit 4 counts: 0 ", "Digit 5 counts: 0 ", "Digit 6 counts: 0 ", "Digit 7 counts: 1 ",
      "Digit 8 counts: 0 ", "Digit 9 counts: 1 "};
  EXPECT_EQ(counts, expected);
}

TEST(PowerSpectrumDigit, ValuesPastTheLastWholeCycleHaveNoInfluence) {
  TempDir dir;
  std::vector<double> values = WorkedExample();
  values.resize(30);  // two cycles
  std::vector<double> longer = values;
  for (int i = 0; i < 14; ++i) {
    longer.push_back(9);
  }
  SpectrumRecord workspace{};
  const std::string log = dir.File("trace.log");
  const std::string base = PredictPowerSpectrumDigit(workspace, SeriesOf(values), "x", "");
  const std::string extended = PredictPowerSpectrumDigit(workspace, SeriesOf(longer), "x", log);

  EXPECT_EQ(extended, base);
  const std::vector<std::string> lines = PredictorLines(ReadLines(log));
  ASSERT_GE(lines.size(), 3U);
  EXPECT_EQ(lines[1], "Data Size: 44");
  EXPECT_EQ(lines[2], "Number of Cycles: 2");
}

TEST(PowerSpectrumDigit, FewerThanOneCycleIsAnError) {
  TempDir dir;
  const std::string log = dir.File("trace.log");
  std::vector<double> values(14, 3.0);
  SpectrumRecord workspace{};

  EXPECT_EQ(PredictPowerSpectrumDigit(workspace, SeriesOf(values), "x", log), "Error");
  const std::vector<std::string> lines = PredictorLines(ReadLines(log));
  ASSERT_EQ(lines.size(), 15U);
  EXPECT_EQ(lines[2], "Number of Cycles: 0");
  EXPECT_EQ(lines[3], "Digit 0 counts: ");
  EXPECT_EQ(lines[13], "Processing digit 0");
  EXPECT_EQ(lines[14], "Error in ProcessSingleDigit for digit 0");
}

TEST(PowerSpectrumDigit, ExactlyOneCycleRanksTheCountsAlone) {
  std::vector<double> values = {7, 7, 7, 7, 2, 2, 2, 1, 1, 0, 0, 0, 9, 9, 9};
  SpectrumRecord workspace{};
  // One bin per digit: its power is the squared count, unnormalised.
  EXPECT_EQ(PredictPowerSpectrumDigit(workspace, SeriesOf(values), "x", ""),
            Ranking("7, 0, 2, 9, 1, 3, 4, 5, 6, 8"));
}

TEST(PowerSpectrumDigit, UnusableSeriesIsAnErrorWithoutOpeningTheLog) {
  TempDir dir;
  const std::string log = dir.File("trace.log");
  double value = 1.0;
  const std::vector<WAData> unusable = {
      {nullptr, 15, 1}, {&value, 0, 1}, {&value, 1, 0}, {nullptr, 0, 0}};
  SpectrumRecord workspace{};
  for (const WAData& series : unusable) {
    EXPECT_EQ(PredictPowerSpectrumDigit(workspace, series, "x", log), "Error");
    EXPECT_EQ(PredictDigit(workspace, series, 0, 0, "x", log), "Error");
  }
  EXPECT_FALSE(std::filesystem::exists(log));
}

// The workspace is only the record the predictors are invoked on: it comes back exactly as it
// went in, so three places on one workspace equal three places on fresh records.
TEST(DigitPrediction, WorkspaceIsLeftUntouched) {
  std::vector<double> values = WorkedExample();
  double sentinel[1] = {42.0};
  SpectrumRecord workspace{7, 3, sentinel, sentinel, sentinel, sentinel, -9};
  const SpectrumRecord before = workspace;

  for (int place = 0; place < 3; ++place) {
    SpectrumRecord fresh{};
    EXPECT_EQ(PredictPowerSpectrumDigit(workspace, SeriesOf(values), "x", ""),
              PredictPowerSpectrumDigit(fresh, SeriesOf(values), "x", ""));
    EXPECT_EQ(PredictDigit(workspace, SeriesOf(values), 0, 1, "x", ""),
              PredictDigit(fresh, SeriesOf(values), 0, 1, "x", ""));
  }
  EXPECT_EQ(workspace.count, before.count);
  EXPECT_EQ(workspace.flags, before.flags);
  EXPECT_EQ(workspace.real, before.real);
  EXPECT_EQ(workspace.power, before.power);
  EXPECT_EQ(workspace.reserved, before.reserved);
  EXPECT_EQ(sentinel[0], 42.0);
}

TEST(DigitPrediction, EmptyLogPathGivesTheSameResultAndWritesNothing) {
  TempDir dir;
  std::vector<double> values = WorkedExample();
  SpectrumRecord workspace{};
  for (std::int32_t filter : {0, 1}) {
    EXPECT_EQ(PredictDigit(workspace, SeriesOf(values), 0, filter, "x", ""),
              PredictDigit(workspace, SeriesOf(values), 0, filter, "x", dir.File("a.log")));
  }
  EXPECT_EQ(PredictPowerSpectrumDigit(workspace, SeriesOf(values), "x", ""),
            PredictPowerSpectrumDigit(workspace, SeriesOf(values), "x", dir.File("b.log")));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            2);
}

TEST(FilteredDigit, NamesItselfAndHandsFrameAndFilterToTheEngine) {
  TempDir dir;
  const std::string log = dir.File("trace.log");
  std::vector<double> values = WorkedExample();
  SpectrumRecord workspace{};
  const std::string result = PredictDigit(workspace, SeriesOf(values), 2, 1, "label", log);

  const std::vector<std::string> lines = ReadLines(log);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "PredictDigit called for label");
  int engineCalls = 0;
  for (const std::string& line : lines) {
    if (line.starts_with("fftFlag: ")) {
      EXPECT_EQ(line, "fftFlag: 2, iFType: 1");
      ++engineCalls;
    }
  }
  EXPECT_EQ(engineCalls, 10);
  EXPECT_TRUE(lines.back().starts_with("Power Spectrum for digit 9: "));
  EXPECT_TRUE(result.starts_with(kPowerSpectrumPrefix));
}

// Three cycles is no power of two, so an undefined frame mode fails digit 0 in the engine.
TEST(FilteredDigit, EngineFailureEndsTheCallWithError) {
  TempDir dir;
  const std::string log = dir.File("trace.log");
  std::vector<double> values = WorkedExample();
  values.resize(45);
  SpectrumRecord workspace{};

  EXPECT_EQ(PredictDigit(workspace, SeriesOf(values), 7, 0, "x", log), "Error");
  const std::vector<std::string> lines = ReadLines(log);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "Error in ProcessSingleDigit for digit 0");
  const std::vector<std::string> own = PredictorLines(lines);
  EXPECT_EQ(own[own.size() - 2], "Processing digit 0");

  // With a power-of-two number of cycles the frame mode is never looked at.
  values = WorkedExample();
  EXPECT_NE(PredictDigit(workspace, SeriesOf(values), 7, 0, "x", ""), "Error");
}

// Whatever the series, a successful ranking names every digit exactly once.
TEST(DigitPrediction, RankingNamesEveryDigitOnce) {
  std::vector<double> values;
  unsigned state = 12345;
  for (int i = 0; i < 15 * 37 + 4; ++i) {
    state = state * 1103515245U + 12345U;
    values.push_back(static_cast<double>((state >> 16) % 10));
  }
  SpectrumRecord workspace{};
  const std::vector<std::string> results = {
      PredictPowerSpectrumDigit(workspace, SeriesOf(values), "x", ""),
      PredictDigit(workspace, SeriesOf(values), 0, 0, "x", ""),
      PredictDigit(workspace, SeriesOf(values), -1, 1, "x", ""),
      PredictDigit(workspace, SeriesOf(values), 1, 0, "x", "")};
  for (const std::string& result : results) {
    ASSERT_EQ(result.size(), kPowerSpectrumPrefix.size() + 28) << result;
    const std::string digits = result.substr(kPowerSpectrumPrefix.size());
    for (char digit = '0'; digit <= '9'; ++digit) {
      EXPECT_EQ(std::count(digits.begin(), digits.end(), digit), 1) << result;
    }
    for (std::size_t i = 1; i < digits.size(); i += 3) {
      EXPECT_EQ(digits.substr(i, 2), ", ") << result;
    }
  }
}

}  // namespace
}  // namespace tolvane::test
