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

// A Numbers 3 history whose draws from the 16th on are `numbers` (the fifteen before them do not
// matter), replayed with every place ranking 0 first and 9 last: the first ticket of each kind is
// straight 000, box and set 001 (000 is not sold), mini 00.
struct Replay {
  OwnedHistory history;
  Evaluation evaluation;
};

Replay AscendingReplay(const std::vector<std::array<int, 3>>& numbers) {
  Replay replay;
  const std::size_t count = 15 + numbers.size();
  for (WAData* place : {&replay.history->hundreds, &replay.history->tens, &replay.history->ones}) {
    *place = WAData{new double[count](), static_cast<std::uint32_t>(count), 1};
  }
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    replay.history->hundreds.data[15 + i] = numbers[i][0];
    replay.history->tens.data[15 + i] = numbers[i][1];
    replay.history->ones.data[15 + i] = numbers[i][2];
  }
  RunOutcome run;
  run.firstDraw = 16;
  run.trials = static_cast<std::uint32_t>(numbers.size());
  run.firstCycles = 1;
  DigitOrder ascending{};
  std::iota(ascending.begin(), ascending.end(), 0);
  run.rankingsByCycles.assign((count + kCycleLength - 1) / kCycleLength,
                              {ascending, ascending, ascending});
  replay.evaluation.runs = {run};
  return replay;
}

TEST(MoneyReplay, FiveDrawsWorkedOutByHand) {
  const Replay replay = AscendingReplay({{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 2, 3}, {0, 0, 1}});
  const OwnedHistory& history = replay.history;
  const Evaluation& evaluation = replay.evaluation;
  // Draw 16 pays 100,000 for a straight, draw 20 31,000 for a box; the rest is not known.
  std::vector<Payouts> payouts(20);
  payouts[15][static_cast<std::size_t>(PayoutKind::Straight)] = 100000;
  payouts[19][static_cast<std::size_t>(PayoutKind::Box)] = 31000;

  MoneyRequest request;
  request.bets = {BetType::Straight, BetType::Box, BetType::Set, BetType::Mini};
  request.keepDraws = true;
  std::vector<std::uint64_t> told;  // each progress step as done * 100 + all
  const std::vector<MoneyOutcome> got = ReplayMoney(history.get(), evaluation, payouts, request,
                                                    [&told](std::uint64_t done, std::uint64_t all) {
                                                      told.push_back(done * 100 + all);
                                                    })
                                            .front();
  ASSERT_EQ(got.size(), 4U);
  // A step after each kind's random baseline and after its one run.
  EXPECT_EQ(told, (std::vector<std::uint64_t>{108, 208, 308, 408, 508, 608, 708, 808}));
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
    // Five draws, a band point each; the last is the whole replay's.
    ASSERT_EQ(got[i].randomBand.size(), 5U);
    EXPECT_EQ(got[i].randomBand.front().draw, 16U);
    EXPECT_EQ(got[i].randomBand.back().draw, 20U);
    EXPECT_NEAR(got[i].randomBand.back().expected, want[i].randomReturn * 1000.0, 1e-9);
    EXPECT_DOUBLE_EQ(static_cast<double>(got[i].randomBand.back().high),
                     got[i].randomHigh * 1000.0);
  }
  // A random straight ticket's expected yen so far: 100 on draw 16, then 90 a draw.
  std::vector<double> expected;
  // A random mini ticket wins 9,000 yen with chance 1 / 100 a draw: more than 2.5 % of the
  // strategies have won once by the third draw (2.97 %), fewer by the second (1.99 %).
  std::vector<std::uint64_t> miniHigh;
  for (const MoneyBandPoint& point : got[0].randomBand) {
    expected.push_back(point.expected);
  }
  for (const MoneyBandPoint& point : got[3].randomBand) {
    miniHigh.push_back(point.high);
    EXPECT_EQ(point.low, 0U);
  }
  EXPECT_EQ(expected, (std::vector<double>{100, 190, 280, 370, 460}));
  EXPECT_EQ(miniHigh, (std::vector<std::uint64_t>{0, 0, 9000, 9000, 9000}));
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

// A random strategy's tickets on one draw are distinct: N of S numbers, k of which win, hold no
// winner with chance C(S - k, N) / C(S, N), not (1 - k / S)^N as if drawn with replacement. Five
// draws of 000, which the first ticket of each kind wins.
TEST(MoneyReplay, ManyRandomTicketsADrawAreDistinct) {
  const Replay replay = AscendingReplay(std::vector<std::array<int, 3>>(5));
  MoneyRequest request;
  // Two straight tickets win a draw with chance 2 / 1,000, one payout throughout: exactly
  // P(5 wins of 5) = 0.002^5.
  request.bets = {BetType::Straight};
  request.tickets = 2;
  const MoneyOutcome straight =
      ReplayMoney(replay.history.get(), replay.evaluation, {}, request).front().front();
  EXPECT_TRUE(straight.pExact);
  EXPECT_NEAR(straight.pValue / std::pow(0.002, 5), 1.0, 1e-9);
  // Fifty mini tickets win a draw with chance C(99, 50) / C(100, 50) = 1 / 2; the payouts differ,
  // so the strategies are simulated. All five draws won (1 / 32 of them, not 0.97 % as with
  // replacement) is the actual result and the top of the 95 % range.
  std::vector<Payouts> payouts(20);
  std::uint64_t all = 0;
  for (std::size_t draw = 15; draw < 20; ++draw) {
    payouts[draw][static_cast<std::size_t>(PayoutKind::Mini)] =
        static_cast<std::uint32_t>(9000 + 100 * (draw - 15));
    all += 9000 + 100 * (draw - 15);
  }
  request.bets = {BetType::Mini};
  request.tickets = 50;
  const MoneyOutcome mini =
      ReplayMoney(replay.history.get(), replay.evaluation, payouts, request).front().front();
  EXPECT_FALSE(mini.pExact);
  EXPECT_EQ(mini.winnings, all);
  EXPECT_NEAR(mini.pValue, 1.0 / 32, 0.006);  // 3.5 standard errors of 10,000 strategies
  EXPECT_DOUBLE_EQ(mini.randomHigh, static_cast<double>(all) / static_cast<double>(mini.cost));
}

TEST(MoneyReplay, TheBandClosesEvenStretchesOfALongReplay) {
  // 101 draws of 000 make 64 points; point p closes the first ceil((p + 1) x 101 / 64) draws,
  // on which a random mini ticket expects 9,000 / 100 yen a draw.
  const Replay replay = AscendingReplay(std::vector<std::array<int, 3>>(101));
  MoneyRequest request;
  request.bets = {BetType::Mini};
  request.keepDraws = true;
  const MoneyOutcome got =
      ReplayMoney(replay.history.get(), replay.evaluation, {}, request).front().front();
  ASSERT_EQ(got.randomBand.size(), kBandPoints);
  for (std::uint32_t p = 0; p < kBandPoints; ++p) {
    const std::uint32_t through = ((p + 1) * 101 + kBandPoints - 1) / kBandPoints;
    EXPECT_EQ(got.randomBand[p].draw, 15 + through) << p;
    EXPECT_EQ(got.randomBand[p].expected, 90.0 * through) << p;
  }
  EXPECT_DOUBLE_EQ(static_cast<double>(got.randomBand.back().low), got.randomLow * 10100.0);
}

}  // namespace
}  // namespace tolvane::test
