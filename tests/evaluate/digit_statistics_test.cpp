#include "evaluate/digit_statistics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <string_view>
#include <vector>

namespace tolvane::test {
namespace {

// A history of the given three-digit numbers, oldest first.
OwnedHistory HistoryOf(const std::vector<std::string>& numbers) {
  OwnedHistory history;
  const auto draws = static_cast<std::uint32_t>(numbers.size());
  WAData* places[] = {&history->hundreds, &history->tens, &history->ones};
  for (std::size_t p = 0; p < 3; ++p) {
    *places[p] = WAData{new double[draws], draws, 1};
    for (std::uint32_t i = 0; i < draws; ++i) {
      places[p]->data[i] = numbers[i][p] - '0';
    }
  }
  return history;
}

// The chi-squared upper tail for 9 degrees of freedom in closed form, in long double:
// erfc(sqrt(x/2)) + sqrt(2x/pi) e^(-x/2) (1 + x/3 + x^2/15 + x^3/105).
double ClosedFormTail9(double x) {
  const long double v = x;
  const long double series = 1.0L + v / 3 + v * v / 15 + v * v * v / 105;
  return static_cast<double>(std::erfc(std::sqrt(v / 2)) +
                             std::sqrt(2 * v / std::numbers::pi_v<long double>) * std::exp(-v / 2) *
                                 series);
}

// Draws since each digit was last seen, one character per digit: '-' for not drawn.
std::array<std::optional<std::uint32_t>, 10> Gaps(std::string_view text) {
  std::array<std::optional<std::uint32_t>, 10> gaps;
  for (std::size_t d = 0; d < gaps.size(); ++d) {
    if (text[d] != '-') {
      gaps[d] = text[d] - '0';
    }
  }
  return gaps;
}

TEST(DigitStatistics, CountsGapsAndChiSquareOfSmallHistories) {
  // Hundreds 0..9 in order, ones always 5.
  const std::vector<std::string> ladder = {"005", "105", "205", "305", "405",
                                           "505", "605", "705", "805", "905"};
  struct Case {
    std::vector<std::string> numbers;
    std::optional<std::uint32_t> last;
    std::size_t place;
    std::array<std::uint32_t, 10> counts;
    double chiSquare;  // worked out by hand
    std::string_view sinceLast;
  };
  const std::vector<Case> cases = {
      {ladder, 50, 0, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 0.0, "9876543210"},
      // (10 - 1)^2 / 1 + 9 (0 - 1)^2 / 1
      {ladder, std::nullopt, 2, {0, 0, 0, 0, 0, 10, 0, 0, 0, 0}, 90.0, "-----0----"},
      // The newest three, n/10 = 0.3: 3 (0.7^2 / 0.3) + 7 (0.3^2 / 0.3).
      {ladder, 3, 0, {0, 0, 0, 0, 0, 0, 0, 1, 1, 1}, 7.0, "-------210"},
      // A repeated digit counts from its newest draw. n/10 = 0.4: 2 (0.6^2 / 0.4) +
      // (1.6^2 / 0.4) + 7 (0.4^2 / 0.4).
      {{"300", "100", "300", "700"},
       std::nullopt,
       0,
       {0, 1, 0, 2, 0, 0, 0, 1, 0, 0},
       11.0,
       "-2-1---0--"},
      {{"123"}, 1, 1, {0, 0, 1, 0, 0, 0, 0, 0, 0, 0}, 9.0, "--0-------"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sinceLast);
    const OwnedHistory history = HistoryOf(c.numbers);
    const DigitStatistics statistics = ComputeDigitStatistics(history.get(), c.last);
    ASSERT_EQ(statistics.status, StatisticsStatus::Ok);
    const auto draws = static_cast<std::uint32_t>(c.numbers.size());
    const std::uint32_t window = std::min(draws, c.last.value_or(draws));
    EXPECT_EQ(statistics.draws, draws);
    EXPECT_EQ(statistics.window, window);
    EXPECT_EQ(statistics.firstDraw, draws - window + 1);
    EXPECT_EQ(statistics.lastDraw, draws);
    const PlaceStatistics& place = statistics.places[c.place];
    EXPECT_EQ(place.counts, c.counts);
    EXPECT_NEAR(place.chiSquare, c.chiSquare, 1e-12);
    EXPECT_EQ(place.sinceLast, Gaps(c.sinceLast));
    EXPECT_NEAR(place.pValue, ClosedFormTail9(c.chiSquare), 1e-14);
  }
}

TEST(DigitStatistics, UpperTailMatchesTheClosedFormAndTheTables) {
  for (const double x :
       {1e-6, 0.5, 2.0, 4.168, 8.343, 14.684, 16.919, 21.666, 27.877, 50.0, 90.0, 200.0, 700.0}) {
    const double expected = ClosedFormTail9(x);
    EXPECT_NEAR(ChiSquareUpperTail(x, 9), expected, 1e-12 * expected) << x;
  }
  // The printed table's 5 % and 1 % points for 9 degrees of freedom.
  EXPECT_NEAR(ChiSquareUpperTail(16.918977604620448, 9), 0.05, 1e-15);
  EXPECT_NEAR(ChiSquareUpperTail(21.665994333461924, 9), 0.01, 1e-15);
  EXPECT_EQ(ChiSquareUpperTail(0.0, 9), 1.0);
  EXPECT_TRUE(std::isnan(ChiSquareUpperTail(std::numeric_limits<double>::quiet_NaN(), 9)));
  EXPECT_TRUE(std::isnan(ChiSquareUpperTail(1.0, 0)));
  // The Bonferroni level over three places, 0.0166...: p at it counts as uneven, the next double
  // up as fair.
  EXPECT_FALSE(ConsistentWithFairDraw(0.016666666666666666));
  EXPECT_TRUE(ConsistentWithFairDraw(0.01666666666666667));
  // Over the four places of Numbers 4, 0.0125.
  EXPECT_FALSE(ConsistentWithFairDraw(0.0125, 4));
  EXPECT_TRUE(ConsistentWithFairDraw(0.012500000000000002, 4));
}

TEST(DigitStatistics, RefusesWhatItCannotCount) {
  OwnedHistory empty;
  EXPECT_EQ(ComputeDigitStatistics(empty.get()).status, StatisticsStatus::NoDraws);
  EXPECT_EQ(StatusText(ComputeDigitStatistics(empty.get())),
            "no statistics: the history holds 0 draws");
  const OwnedHistory ok = HistoryOf({"123", "456"});
  EXPECT_EQ(ComputeDigitStatistics(ok.get(), 0).status, StatisticsStatus::EmptyWindow);

  for (const double bad : {10.0, -1.0, 2.5, std::numeric_limits<double>::quiet_NaN()}) {
    OwnedHistory history = HistoryOf({"123", "456", "789"});
    history->tens.data[1] = bad;
    EXPECT_EQ(ComputeDigitStatistics(history.get()).status, StatisticsStatus::InvalidHistory)
        << bad;
    // Outside the window the value is not read.
    EXPECT_EQ(ComputeDigitStatistics(history.get(), 1).status, StatisticsStatus::Ok) << bad;
  }
  OwnedHistory uneven = HistoryOf({"123", "456"});
  uneven->ones.size = 1;
  EXPECT_EQ(ComputeDigitStatistics(uneven.get()).status, StatisticsStatus::InvalidHistory);
}

}  // namespace
}  // namespace tolvane::test
