#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/bets.h"
#include "evaluate/evaluation.h"
#include "history/draw_history.h"

namespace tolvane {

// What a ranking's tickets would have cost and paid over the replayed draws, beside tickets
// bought at random. A random ticket is a number drawn uniformly from those its kind sells
// (straight every number; box and set those whose digits are not all alike; mini the 100
// pairs); a random strategy buys as many distinct random tickets a draw as the ranking does.

inline constexpr int kRandomStrategies = 10000;

struct MoneyRequest {
  std::vector<BetType> bets;
  int tickets = 1;  // a draw, of each kind: 1 to DistinctTickets
  bool keepDraws = false;
};

// Told on the replaying thread after each kind's random baseline and each run's replay of it:
// the steps done and all of them.
using MoneyProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// One replayed draw of one run and kind.
struct MoneyDraw {
  std::uint32_t draw = 0;  // 1-based, file order
  std::array<std::uint8_t, kMaxPlaces> number{};
  std::uint32_t hits = 0;  // winning tickets
  std::uint64_t winnings = 0;
};

// Random tickets' winnings up to and including one replayed draw: the expected yen (exact) and
// the range 95 % of random strategies' winnings so far fall in (simulated).
struct MoneyBandPoint {
  std::uint32_t draw = 0;  // 1-based, file order
  double expected = 0.0;
  std::uint64_t low = 0;
  std::uint64_t high = 0;
};

// With keepDraws, how many points the band has at most, evenly spread over the replayed draws.
inline constexpr std::uint32_t kBandPoints = 64;

struct MoneyOutcome {
  BetType bet = BetType::Straight;
  int tickets = 0;          // a draw
  std::uint32_t draws = 0;  // replayed
  std::uint64_t cost = 0;   // yen
  std::uint64_t winnings = 0;
  double returnRate = 0.0;  // winnings / cost
  std::uint64_t hits = 0;   // winning tickets
  // Random tickets on the same draws: their expected return (exact, from each draw's payouts)
  // and the range 95 % of random strategies' returns fall in (simulated).
  double randomReturn = 0.0;
  double randomLow = 0.0;
  double randomHigh = 0.0;
  // The chance that a random strategy wins at least as many yen in total: exact where the
  // distribution allows (straight and mini with one payout on every draw: a binomial), else the
  // share of kRandomStrategies simulated strategies from a fixed seed.
  double pValue = 1.0;
  bool pExact = false;
  std::uint32_t actualPayouts = 0;  // replayed draws whose payout of this kind was known
  std::uint32_t notSold =
      0;  // replayed draws of digits all alike, on which box and set are not sold
  std::vector<MoneyDraw> perDraw;          // with keepDraws
  std::vector<MoneyBandPoint> randomBand;  // with keepDraws; the last point is the whole replay's
};

// For every run of `evaluation` (made with keepRankings) and every kind asked for, in that order:
// the ranking's first `tickets` tickets on each replayed draw, paid by the draw's actual payout
// where `payouts` (a draw each, file order; empty: none known) knows it and the theoretical one
// otherwise (TheoreticalPayout). Kinds the history's game does not sell are left out.
std::vector<std::vector<MoneyOutcome>> ReplayMoney(const DrawHistory& history,
                                                   const Evaluation& evaluation,
                                                   const std::vector<Payouts>& payouts,
                                                   const MoneyRequest& request,
                                                   const MoneyProgress& progress = {});

}  // namespace tolvane
