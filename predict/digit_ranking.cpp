#include "predict/digit_ranking.h"

#include <cstddef>

namespace tolvane {

DigitOrder RankByScore(const DigitScores& scores) {
  DigitOrder ranked{};
  for (int k = 0; k < kDigitValues; ++k) {
    int pos = k;
    while (pos > 0 && scores[static_cast<std::size_t>(k)] >
                          scores[static_cast<std::size_t>(ranked[pos - 1])]) {
      ranked[pos] = ranked[pos - 1];
      --pos;
    }
    ranked[pos] = k;
  }
  return ranked;
}

int RankOf(const DigitOrder& order, int digit) {
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (order[i] == digit) {
      return static_cast<int>(i) + 1;
    }
  }
  return 0;
}

}  // namespace tolvane
