// The money replay on five draws worked out by hand: what one ticket of each kind wins, paid by
// the actual payout where the history has one and the theoretical one otherwise, and what a
// random ticket is expected to return on the same draws.
#include "evaluate/money_replay.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <vector>

namespace tolvane::test {
namespace {

TEST(MoneyReplay, FiveDrawsWorkedOutByHand) {
  // Draws 16 to 20 are 000, 010, 100, 123, 001; the fifteen before them do not matter.
  const std::vector<std::array<int, 3>> numbers = {
      {0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 2, 3}, {0, 0, 1}};
  OwnedHistory history;
  for (WAData* place : {&history->hundreds, &history->tens, &history->ones}) {
    *place = WAData{new double[20](), 20, 1};
  }
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    history->hundreds.data[15 + i] = numbers[i][0];
    history->tens.data[15 + i] = numbers[i][1];
    history->ones.data[15 + i] = numbers[i][2];
  }
  // Every place ranks 0 first, 9 last: the first ticket of each kind is straight 000, box and
  // set 001 (000 is not sold), mini 00.
  Evaluation evaluation;
  RunOutcome run;
  run.firstDraw = 16;
  run.trials = 5;
  run.firstCycles = 1;
  DigitOrder ascending{};
  std::iota(ascending.begin(), ascending.end(), 0);
  run.rankingsByCycles = {{ascending, ascending, ascending}};
  evaluation.runs = {run};
  // Draw 16 pays 100,000 for a straight, draw 20 31,000 for a box; the rest is not known.
  std::vector<Payouts> payouts(20);
  payouts[15][static_cast<std::size_t>(PayoutKind::Straight)] = 100000;
  payouts[19][static_cast<std::size_t>(PayoutKind::Box)] = 31000;

  MoneyRequest request;
  request.bets = {BetType::Straight, BetType::Box, BetType::Set, BetType::Mini};
  const std::vector<MoneyOutcome> got =
      ReplayMoney(history.get(), evaluation, payouts, request).front();
  ASSERT_EQ(got.size(), 4U);
  struct Want {
    std::uint64_t winnings;
    std::uint64_t hits;
    double randomReturn;
    std::uint32_t actual;
  };
  const Want want[] = {
      // 000 wins draw 16 at its actual 100,000. A random ticket: 100,000 / 1,000 on draw 16
      // and 90,000 / 1,000 on the others, over 1,000 yen spent.
      {100000, 1, (100.0 + 4 * 90.0) / 1000.0, 1},
      // 001 is 010, 100 and 001 as a box: 30,000, 30,000 and the actual 31,000. A random box
      // ticket, one of the 990 numbers not all alike, wins with chance orders / 990: nothing on
      // 000, 3 x 30,000, 3 x 30,000, 6 x 15,000, 3 x 31,000 over 990.
      {91000, 3, 363000.0 / 990.0 / 1000.0, 1},
      // As a set: set-box 15,000 on 010 and 100, set-straight 60,000 on 001. At random:
      // (set-straight + (orders - 1) x set-box) / 990, 90,000 / 990 on each of four draws.
      {90000, 3, 4 * 90000.0 / 990.0 / 1000.0, 0},
      // 00 as the tens and ones of 000 and 100, 9,000 each; at random 9,000 / 100 a draw.
      {18000, 2, 0.45, 0},
  };
  for (std::size_t i = 0; i < got.size(); ++i) {
    SCOPED_TRACE(std::string(Word(got[i].bet)));
    EXPECT_EQ(got[i].bet, request.bets[i]);
    EXPECT_EQ(got[i].draws, 5U);
    EXPECT_EQ(got[i].cost, 1000U);
    EXPECT_EQ(got[i].winnings, want[i].winnings);
    EXPECT_EQ(got[i].hits, want[i].hits);
    EXPECT_DOUBLE_EQ(got[i].returnRate, static_cast<double>(want[i].winnings) / 1000.0);
    EXPECT_NEAR(got[i].randomReturn, want[i].randomReturn, 1e-12);
    EXPECT_EQ(got[i].actualPayouts, want[i].actual);
    EXPECT_LE(got[i].randomLow, got[i].randomHigh);
  }
  // Mini pays one amount on every draw: P(at least 2 wins), X ~ Binomial(5, 1/100), exactly.
  EXPECT_TRUE(got[3].pExact);
  EXPECT_NEAR(got[3].pValue, 0.0009801496, 1e-15);
  // Straight's payouts differ, so its p-value is simulated: the share of strategies winning
  // at least 100,000 yen, which needs a win on draw 16 or two wins elsewhere (1 in 1,000 each).
  // Within three standard errors of 10,000 strategies.
  EXPECT_FALSE(got[0].pExact);
  EXPECT_NEAR(got[0].pValue,
              0.001 + 0.999 * (1 - std::pow(0.999, 4) - 4 * 0.001 * std::pow(0.999, 3)), 0.001);
}

}  // namespace
}  // namespace tolvane::test
