#pragma once

#include <array>
#include <vector>

#include "predict/cycle_counts.h"

namespace tolvane {

using DigitScores = std::array<double, kDigitValues>;
using DigitOrder = std::array<int, kDigitValues>;

// One place ranked: each digit's score (the peak of its normalised power spectrum) and the
// digits best first. ok is false when the history or the engine gave no ranking; the other
// fields then mean nothing.
struct DigitRanking {
  bool ok = false;
  DigitScores scores{};
  DigitOrder ranking{};
  // Each digit's normalised power spectrum (all bins), filled only when asked for.
  std::array<std::vector<double>, kDigitValues> spectra;
};

// Highest score first; a digit moves ahead of another only on a strictly greater score, so equal
// scores keep ascending digit order (and any score, even NaN, gives a defined order).
DigitOrder RankByScore(const DigitScores& scores);

// The 1-based position of `digit` in the order, or 0 when it is no digit 0 to 9.
int RankOf(const DigitOrder& order, int digit);

}  // namespace tolvane
