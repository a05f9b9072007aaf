#pragma once

#include <vector>

#include "core/bets.h"
#include "core/game.h"

namespace tolvane {

// The tickets the windows buy: the kinds ticked in the evaluation window's 収支 view and how many
// of each a draw. Remembered between runs, so the main window shows the next draw's tickets for
// them beside each prediction.
struct MoneyChoice {
  std::vector<BetType> bets;  // in the order of kBetTypes
  int tickets = 1;
};

MoneyChoice StoredMoneyChoice();
void StoreMoneyChoice(const MoneyChoice& choice);

// The most tickets a draw of every kind in `bets` that `game` sells (the fewest distinct tickets
// among them); without such a kind, the most of any kind.
int MostTickets(Game game, const std::vector<BetType>& bets);

// `choice` as `game` can buy it: the kinds it sells, at most MostTickets of them.
MoneyChoice ForGame(const MoneyChoice& choice, Game game);

}  // namespace tolvane
