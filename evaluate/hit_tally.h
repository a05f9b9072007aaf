#pragma once

#include <cstdint>
#include <vector>

#include "evaluate/evaluation.h"

namespace tolvane {

// P(X >= hits) for X ~ Binomial(trials, p): the chance of at least `hits` successes.
double BinomialUpperTail(std::uint32_t trials, std::uint32_t hits, double p);

// The chance that a random ranking ranks a drawn digit k or better: k/10 in one place, (k/10)^3
// in all three at once.
double PlaceHitChance(int k);
double AllThreeHitChance(int k);

// Hits, p-values and mean rank of one place, from the 1-based ranks of its draws.
PlaceOutcome TallyPlace(const std::vector<std::uint8_t>& ranks);

// Hits and p-values of all three places at once: a draw counts at k when every place's rank is
// k or better. The three rank lists have the same length.
HitCounts TallyAllThree(const std::vector<std::uint8_t>& hundreds,
                        const std::vector<std::uint8_t>& tens,
                        const std::vector<std::uint8_t>& ones);

}  // namespace tolvane
