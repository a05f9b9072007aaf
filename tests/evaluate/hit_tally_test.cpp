#include "evaluate/hit_tally.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "evaluate/digit_statistics.h"

namespace tolvane::test {
namespace {

// P(X >= hits), summed term by term in long double from log-binomial coefficients.
long double ExactUpperTail(std::uint32_t trials, std::uint32_t hits, long double p) {
  long double sum = 0.0L;
  for (std::uint32_t i = hits; i <= trials; ++i) {
    const long double n = trials;
    const long double k = i;
    long double logTerm = std::lgamma(n + 1) - std::lgamma(k + 1) - std::lgamma(n - k + 1);
    logTerm += k > 0 ? k * std::log(p) : 0.0L;
    logTerm += n - k > 0 ? (n - k) * std::log1p(-p) : 0.0L;
    sum += std::exp(logTerm);
  }
  return sum;
}

TEST(HitTally, UpperTailsMatchExactSums) {
  struct Case {
    std::uint32_t trials;
    std::uint32_t hits;
    double p;
    double byHand;  // < 0: none
  };
  const std::vector<Case> cases = {
      {3, 1, 0.1, 0.271},  // 1 - 0.9^3
      {3, 3, 0.1, 0.001},    {3, 2, 0.5, 0.5},      {1, 1, 1.0, 1.0},      {4, 4, 1.0, 1.0},
      {10, 0, 0.3, 1.0},     {10, 11, 0.3, 0.0},  // more hits than trials cannot happen
      {20, 1, 0.001, -1},    {500, 80, 0.1, -1},    {500, 30, 0.1, -1},    {6485, 700, 0.1, -1},
      {6485, 20, 0.001, -1}, {6485, 3300, 0.5, -1}, {6485, 6485, 0.9, -1},  // far in the tail:
                                                                            // about 1e-297
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.trials) + " " + std::to_string(c.hits) + " " +
                 std::to_string(c.p));
    const double tail = BinomialUpperTail(c.trials, c.hits, c.p);
    if (c.byHand >= 0) {
      EXPECT_NEAR(tail, c.byHand, 1e-15);
    }
    if (c.hits <= c.trials) {
      const auto exact = static_cast<double>(ExactUpperTail(c.trials, c.hits, c.p));
      EXPECT_NEAR(tail, exact, 1e-10 * exact);
    }
  }
  // The bits every build gives, whatever its C library: the browser page's equivalence rests on it.
  EXPECT_EQ(BinomialUpperTail(6485, 1373, 0.2), 0x1.4439d81c1c43ap-7);
  EXPECT_EQ(ChiSquareUpperTail(0x1.115b0dd82fd76p+5, 9), 0x1.5ddd98c1eee76p-14);
}

TEST(HitTally, CountsHitsAndChancesPerPlaceAndForAllPlaces) {
  const std::vector<std::uint8_t> hundreds = {1, 10, 3, 2, 2};
  const std::vector<std::uint8_t> tens = {1, 1, 4, 5, 1};
  const std::vector<std::uint8_t> ones = {2, 1, 1, 7, 1};

  const PlaceOutcome place = TallyPlace(hundreds);
  const std::array<std::uint32_t, 11> placeHits = {0, 1, 3, 4, 4, 4, 4, 4, 4, 4, 5};
  EXPECT_EQ(place.hits, placeHits);
  EXPECT_DOUBLE_EQ(place.meanRank, 18.0 / 5.0);
  EXPECT_DOUBLE_EQ(place.pValues[10], 1.0);
  // P(X >= 4), X ~ Binomial(5, 0.3): 5 * 0.3^4 * 0.7 + 0.3^5.
  EXPECT_NEAR(place.pValues[3], 0.03078, 1e-15);

  const HitCounts all = TallyAllPlaces({hundreds, tens, ones});
  // Worst ranks 2, 10, 4, 7, 2.
  const std::array<std::uint32_t, 11> allHits = {0, 0, 2, 2, 3, 3, 3, 4, 4, 4, 5};
  EXPECT_EQ(all.hits, allHits);
  EXPECT_DOUBLE_EQ(all.pValues[1], 1.0);
  // P(X >= 2), X ~ Binomial(5, 0.2^3): 1 - 0.992^5 - 5 * 0.008 * 0.992^4.
  EXPECT_NEAR(all.pValues[2], 0.000629821308928, 1e-16);
  EXPECT_DOUBLE_EQ(AllPlacesHitChance(5, 3), 0.125);

  // Numbers 4: the thousands too. Worst ranks 3, 10, 4, 7, 9.
  const std::vector<std::uint8_t> thousands = {3, 1, 1, 1, 9};
  const HitCounts four = TallyAllPlaces({thousands, hundreds, tens, ones});
  const std::array<std::uint32_t, 11> fourHits = {0, 0, 0, 1, 2, 2, 2, 3, 3, 4, 5};
  EXPECT_EQ(four.hits, fourHits);
  // P(X >= 1), X ~ Binomial(5, 0.3^4): 1 - 0.9919^5.
  EXPECT_NEAR(four.pValues[3], 0.03984919292150734, 1e-15);
  EXPECT_DOUBLE_EQ(AllPlacesHitChance(5, 4), 0.0625);
}

}  // namespace
}  // namespace tolvane::test
