#include "predict/digit_pipeline.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <new>
#include <string>
#include <vector>

#include "predict/digit_prediction.h"
#include "predict/narrow_texts.h"
#include "spectral/spectrum_record.h"
#include "tests/support/temp_dir.h"

namespace tolvane::test {
namespace {

std::vector<double> Cycles(int count) {
  return std::vector<double>(static_cast<std::size_t>(15) * count, 1.0);
}

WAData SeriesOf(std::vector<double>& values) {
  return WAData{values.data(), static_cast<std::uint32_t>(values.size()), 1};
}

// Fills the record as the engine would, with a two-bin spectrum whose peak power is the score.
std::int32_t FillWithScore(SpectrumRecord& record, double score) {
  record.count = 2;
  record.flags = 15;
  record.real = new double[2]{0.0, 0.0};
  record.imag = new double[2]{0.0, 0.0};
  record.power = new double[2]{0.0, score};
  record.amplitude = new double[2]{0.0, 0.0};
  return 0;
}

// A processing step that gives each digit a chosen score, as the engine would through its
// spectrum.
DigitSpectrumStep ScoresStep(const std::array<double, 10>& scores, int* calls = nullptr) {
  return [scores, calls](SpectrumRecord& record, WAData&, std::uint32_t, const std::string& name) {
    if (calls != nullptr) {
      ++*calls;
    }
    const int digit = name[6] - '0';  // "Digit k Count"
    return FillWithScore(record, scores[static_cast<std::size_t>(digit)]);
  };
}

std::string Ranking(const std::string& digits) {
  return std::string(kPowerSpectrumPrefix) + digits;
}

TEST(DigitPipeline, RanksHighestFirstWithTiesInAscendingOrder) {
  struct Case {
    std::array<double, 10> scores;
    std::string ranking;
  };
  const std::vector<Case> cases = {
      {{1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, "0, 1, 2, 3, 4, 5, 6, 7, 8, 9"},
      {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, "9, 8, 7, 6, 5, 4, 3, 2, 1, 0"},
      {{4, 9, 4, 1, 9, 0, 4, 1, 9, 0}, "1, 4, 8, 0, 2, 6, 3, 7, 5, 9"},
      {{0, 0, 0, 0, 0, 0, 0, 0, 0, 2.5}, "9, 0, 1, 2, 3, 4, 5, 6, 7, 8"},
      // Scores that differ only in the last bit are not ties.
      {{1, 1, 1, 1, 1, 1, 1, 1, 1, 1.0000000000000002}, "9, 0, 1, 2, 3, 4, 5, 6, 7, 8"},
  };
  for (const Case& c : cases) {
    std::vector<double> values = Cycles(2);
    const DigitRanking ranked =
        RunDigitPipeline(SeriesOf(values), "P", "x", "", ScoresStep(c.scores));
    EXPECT_EQ(PredictionText(ranked), Ranking(c.ranking));
    EXPECT_EQ(ranked.scores, c.scores);
    for (const std::vector<double>& spectrum : ranked.spectra) {
      EXPECT_TRUE(spectrum.empty());
    }
  }
}

TEST(DigitPipeline, ProcessingFailureStopsAtThatDigit) {
  for (int failing : {0, 4, 9}) {
    TempDir dir;
    const std::string log = dir.File("trace.log");
    std::vector<double> values = Cycles(2);
    int calls = 0;
    const DigitSpectrumStep step = [&](SpectrumRecord& record, WAData&, std::uint32_t,
                                       const std::string&) -> std::int32_t {
      return calls++ == failing ? -202 : FillWithScore(record, 1.0);
    };
    EXPECT_FALSE(RunDigitPipeline(SeriesOf(values), "P", "x", log, step).ok);
    EXPECT_EQ(calls, failing + 1);
    const std::vector<std::string> lines = ReadLines(log);
    ASSERT_GE(lines.size(), 2U);
    EXPECT_EQ(lines[lines.size() - 2], "Processing digit " + std::to_string(failing));
    EXPECT_EQ(lines.back(), "Error in ProcessSingleDigit for digit " + std::to_string(failing));
  }
}

TEST(DigitPipeline, UnreadableSpectrumIsAnError) {
  TempDir dir;
  const std::string log = dir.File("trace.log");
  std::vector<double> values = Cycles(1);
  // Success reported, but digit 3's record is left without a spectrum.
  const DigitSpectrumStep step = [](SpectrumRecord& record, WAData&, std::uint32_t,
                                    const std::string& name) -> std::int32_t {
    return name == "Digit 3 Count" ? 0 : FillWithScore(record, 2.0);
  };
  EXPECT_FALSE(RunDigitPipeline(SeriesOf(values), "P", "x", log, step).ok);
  const std::vector<std::string> lines = ReadLines(log);
  ASSERT_GE(lines.size(), 2U);
  EXPECT_EQ(lines[lines.size() - 2], "Power Spectrum for digit 2: 2");
  EXPECT_EQ(lines.back(), "Error in GetPowerSpectrum for digit 3");
}

// The step sees the digit's counts and may swap in a new array, as filtering does; the pipeline
// must free the replacement once and never the array it built (the sanitizer build checks both).
TEST(DigitPipeline, ReleasesTheReplacementArrayOnce) {
  std::vector<double> values = {0, 1, 1, 2, 2, 2, 9, 9, 9, 9, 9, 9, 9, 9, 9,
                                1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  std::vector<std::vector<double>> seen;
  const DigitSpectrumStep step = [&seen](SpectrumRecord& record, WAData& series,
                                         std::uint32_t cycles, const std::string&) {
    EXPECT_EQ(series.size, cycles);
    EXPECT_EQ(series.rate, 1U);
    seen.emplace_back(series.data, series.data + series.size);
    auto* replacement = new double[series.size];
    for (std::uint32_t i = 0; i < series.size; ++i) {
      replacement[i] = series.data[i] * 2.0;
    }
    delete[] series.data;
    series.data = replacement;
    return FillWithScore(record, replacement[0] + replacement[1]);
  };
  EXPECT_EQ(PredictionText(RunDigitPipeline(SeriesOf(values), "P", "x", "", step)),
            Ranking("1, 9, 2, 0, 3, 4, 5, 6, 7, 8"));
  const std::vector<std::vector<double>> expected = {{1, 0}, {2, 15}, {3, 0}, {0, 0}, {0, 0},
                                                     {0, 0}, {0, 0},  {0, 0}, {0, 0}, {9, 0}};
  EXPECT_EQ(seen, expected);
}

// Allocation failures pass to the caller, with everything made so far released.
TEST(DigitPipeline, ExceptionFromTheStepLeaksNothing) {
  std::vector<double> values = Cycles(4);
  int calls = 0;
  const DigitSpectrumStep step = [&calls](SpectrumRecord& record, WAData&, std::uint32_t,
                                          const std::string&) -> std::int32_t {
    if (++calls == 5) {
      throw std::bad_alloc();
    }
    return FillWithScore(record, 1.0);
  };
  EXPECT_THROW(RunDigitPipeline(SeriesOf(values), "P", "x", "", step), std::bad_alloc);
}

}  // namespace
}  // namespace tolvane::test
