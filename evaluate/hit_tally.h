#pragma once

#include <cstdint>
#include <vector>

#include "evaluate/evaluation.h"

namespace tolvane {

// P(X >= hits) for X ~ Binomial(trials, p): the chance of at least `hits` successes.
double BinomialUpperTail(std::uint32_t trials, std::uint32_t hits, double p);

// The chance that a random ranking ranks a drawn digit k or better: k/10 in one place,
// (k/10)^places in all `places` places at once.
double PlaceHitChance(int k);
double AllPlacesHitChance(int k, int places);

// Hits, p-values and mean rank of one place, from the 1-based ranks of its draws.
PlaceOutcome TallyPlace(const std::vector<std::uint8_t>& ranks);

// Hits and p-values of all places at once: a draw counts at k when every place's rank is k or
// better. The rank lists, one per place, have the same length.
HitCounts TallyAllPlaces(const std::vector<std::vector<std::uint8_t>>& ranks);

}  // namespace tolvane
