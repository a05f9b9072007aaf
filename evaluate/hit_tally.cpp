#include "evaluate/hit_tally.h"

#include <algorithm>
#include <boost/math/distributions/binomial.hpp>
#include <cstddef>

#include "evaluate/quiet_policy.h"
#include "evaluate/tail_real.h"

namespace tolvane {
namespace {

using detail::QuietPolicy;
using detail::TailReal;

// Fills the p-values of counts whose hits are in place.
template <typename Chance>
void FillPValues(HitCounts& counts, Chance chance) {
  const std::uint32_t trials = counts.hits[kMaxRank];
  for (int k = 1; k <= kMaxRank; ++k) {
    const auto at = static_cast<std::size_t>(k);
    counts.pValues[at] = BinomialUpperTail(trials, counts.hits[at], chance(k));
  }
}

// hits[k] from how many draws had each best-of rank r: a running sum.
void Accumulate(HitCounts& counts, const std::array<std::uint32_t, kMaxRank + 1>& atRank) {
  std::uint32_t sum = 0;
  for (std::size_t k = 1; k <= kMaxRank; ++k) {
    sum += atRank[k];
    counts.hits[k] = sum;
  }
}

}  // namespace

double BinomialUpperTail(std::uint32_t trials, std::uint32_t hits, double p) {
  if (hits == 0) {
    return 1.0;
  }
  if (hits > trials) {
    return 0.0;
  }
  const boost::math::binomial_distribution<TailReal, QuietPolicy> distribution(trials, p);
  // The complement of the distribution function at hits - 1 is P(X > hits - 1).
  return static_cast<double>(boost::math::cdf(boost::math::complement(distribution, hits - 1)));
}

// k/10 and k^places/10^places as correctly rounded quotients of exact integers.
double PlaceHitChance(int k) { return static_cast<double>(k) / 10.0; }
double AllPlacesHitChance(int k, int places) {
  std::int64_t hits = 1;
  std::int64_t all = 1;
  for (int place = 0; place < places; ++place) {
    hits *= k;
    all *= 10;
  }
  return static_cast<double>(hits) / static_cast<double>(all);
}

PlaceOutcome TallyPlace(const std::vector<std::uint8_t>& ranks) {
  PlaceOutcome outcome;
  std::array<std::uint32_t, kMaxRank + 1> atRank{};
  std::uint64_t rankSum = 0;
  for (const std::uint8_t rank : ranks) {
    ++atRank[std::min<std::size_t>(rank, kMaxRank)];
    rankSum += rank;
  }
  Accumulate(outcome, atRank);
  FillPValues(outcome, PlaceHitChance);
  outcome.meanRank =
      ranks.empty() ? 0.0 : static_cast<double>(rankSum) / static_cast<double>(ranks.size());
  return outcome;
}

HitCounts TallyAllPlaces(const std::vector<std::vector<std::uint8_t>>& ranks) {
  HitCounts counts;
  std::array<std::uint32_t, kMaxRank + 1> atRank{};
  const std::size_t draws = ranks.empty() ? 0 : ranks.front().size();
  for (std::size_t i = 0; i < draws; ++i) {
    std::uint8_t worst = 0;
    for (const std::vector<std::uint8_t>& place : ranks) {
      worst = std::max(worst, place[i]);
    }
    ++atRank[std::min<std::size_t>(worst, kMaxRank)];
  }
  Accumulate(counts, atRank);
  const auto places = static_cast<int>(ranks.size());
  FillPValues(counts, [places](int k) { return AllPlacesHitChance(k, places); });
  return counts;
}

}  // namespace tolvane
