#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/bets.h"
#include "evaluate/evaluation.h"
#include "evaluate/money_replay.h"
#include "predict/digit_ranking.h"

namespace tolvane {

// What the window shows of tickets and money: the replay's table as CSV, and the next draw's
// tickets beside a prediction.

// "12,970,000".
std::string GroupedYen(std::uint64_t value);

// The replay as CSV with a header line, a row per run and kind (`outcomes` as ReplayMoney gives
// them for `evaluation`); each double in the fewest digits that read back the same.
std::string MoneyCsv(const Evaluation& evaluation,
                     const std::vector<std::vector<MoneyOutcome>>& outcomes);

// The next draw's tickets, a line per kind the game sells: "買い目 ストレート 5 口 (1,000 円):
// 276, 277, 278, 286, 287". `n` is taken down to the kind's distinct tickets. Empty without a
// kind, or when a place has no ranking.
std::string NextTicketsText(const std::vector<DigitRanking>& places, Game game,
                            const std::vector<BetType>& bets, int n);

}  // namespace tolvane
