// Which tickets a ranking picks and what they win, against a brute force over every number, and
// the theoretical payouts' 45 % for every ticket the games sell.
#include "predict/tickets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace tolvane::test {
namespace {

using Number = std::array<std::uint8_t, kMaxPlaces>;

// Every number of `places` digits, as its digits.
std::vector<Number> EveryNumber(int places) {
  std::vector<Number> numbers;
  int count = 1;
  for (int p = 0; p < places; ++p) {
    count *= 10;
  }
  for (int value = 0; value < count; ++value) {
    Number number{};
    for (int p = places - 1, rest = value; p >= 0; --p, rest /= 10) {
      number[static_cast<std::size_t>(p)] = static_cast<std::uint8_t>(rest % 10);
    }
    numbers.push_back(number);
  }
  return numbers;
}

std::vector<DigitOrder> RandomRanking(int places, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<DigitOrder> ranking(static_cast<std::size_t>(places));
  for (DigitOrder& order : ranking) {
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), random);
  }
  return ranking;
}

// The brute force: every number of the kind with its ranks, sorted by (sum, ranks in order),
// then the box and set rules applied by keeping sets of digits seen.
std::vector<std::string> BruteTickets(const std::vector<DigitOrder>& ranking, BetType type, int n) {
  const int first = type == BetType::Mini ? static_cast<int>(ranking.size()) - 2 : 0;
  const int places = static_cast<int>(ranking.size()) - first;
  std::vector<std::pair<std::vector<int>, std::string>> keyed;
  for (const Number& number : EveryNumber(places)) {
    std::vector<int> key = {0};
    std::string text;
    for (int p = 0; p < places; ++p) {
      const int place = first + p;
      const DigitOrder& order = ranking[static_cast<std::size_t>(place)];
      const int rank = static_cast<int>(
          std::find(order.begin(), order.end(), number[static_cast<std::size_t>(p)]) -
          order.begin());
      key[0] += rank;
      key.push_back(rank);
      text += static_cast<char>('0' + number[static_cast<std::size_t>(p)]);
    }
    keyed.emplace_back(key, text);
  }
  std::sort(keyed.begin(), keyed.end());
  std::vector<std::string> tickets;
  std::set<std::string> seen;
  for (const auto& [key, text] : keyed) {
    std::string sorted = text;
    std::sort(sorted.begin(), sorted.end());
    const bool alike = std::count(text.begin(), text.end(), text[0]) == places;
    if ((type == BetType::Box || type == BetType::Set) && (alike || !seen.insert(sorted).second)) {
      continue;
    }
    if (static_cast<int>(tickets.size()) < n) {
      tickets.push_back(text);
    }
  }
  return tickets;
}

TEST(Tickets, TheRankingsFirstTicketsAreTheBruteForcesFirst) {
  for (const Game game : {Game::kNumbers3, Game::kNumbers4}) {
    for (const BetType type : {BetType::Straight, BetType::Box, BetType::Set, BetType::Mini}) {
      if (!Sells(game, type)) {
        continue;
      }
      for (const unsigned seed : {1U, 2U}) {
        SCOPED_TRACE(std::string(Word(game)) + " " + std::string(Word(type)) + " seed " +
                     std::to_string(seed));
        const std::vector<DigitOrder> ranking = RandomRanking(PlaceCount(game), seed);
        const int all = DistinctTickets(game, type);
        const std::vector<std::string> want = BruteTickets(ranking, type, all);
        ASSERT_EQ(static_cast<int>(want.size()), all);
        for (const int n : {1, 10, all}) {
          std::vector<std::string> got;
          for (const Ticket& ticket : TicketsOf(ranking, type, n)) {
            got.push_back(ticket.Text());
          }
          EXPECT_EQ(got, std::vector<std::string>(want.begin(), want.begin() + n)) << n;
        }
      }
    }
  }
}

// A ticket's win from its definition, against every drawn number; and every ticket the games
// sell pays back exactly 45 % in expectation over a uniformly drawn number when paid the
// theoretical amounts.
TEST(Tickets, WinsAndTheoreticalPayoutsOverEveryDrawnNumber) {
  for (const Game game : {Game::kNumbers3, Game::kNumbers4}) {
    const int places = PlaceCount(game);
    const std::vector<Number> drawn = EveryNumber(places);
    const std::vector<DigitOrder> ranking = RandomRanking(places, 7);
    for (const BetType type : {BetType::Straight, BetType::Box, BetType::Set, BetType::Mini}) {
      if (!Sells(game, type)) {
        continue;
      }
      SCOPED_TRACE(std::string(Word(game)) + " " + std::string(Word(type)));
      // Every Numbers 3 box, set and mini ticket, every fifth of Numbers 4's, every tenth
      // straight one (the same arithmetic for each).
      const std::vector<Ticket> tickets = TicketsOf(ranking, type, DistinctTickets(game, type));
      const std::size_t step = type == BetType::Straight ? 10 : places == 4 ? 5 : 1;
      for (std::size_t i = 0; i < tickets.size(); i += step) {
        const Ticket& ticket = tickets[i];
        double expected = 0.0;
        for (const Number& w : drawn) {
          std::string x = ticket.Text();
          std::string y;
          for (int p = 0; p < places; ++p) {
            y += static_cast<char>('0' + w[static_cast<std::size_t>(p)]);
          }
          std::string sx = x;
          std::string sy = y;
          std::sort(sx.begin(), sx.end());
          std::sort(sy.begin(), sy.end());
          const bool alike = std::count(y.begin(), y.end(), y[0]) == places;
          std::optional<PayoutKind> want;
          if (type == BetType::Straight && x == y) {
            want = PayoutKind::Straight;
          } else if (type == BetType::Box && !alike && sx == sy) {
            want = PayoutKind::Box;
          } else if (type == BetType::Set && x == y) {
            want = PayoutKind::SetStraight;
          } else if (type == BetType::Set && !alike && sx == sy) {
            want = PayoutKind::SetBox;
          } else if (type == BetType::Mini && x == y.substr(1)) {
            want = PayoutKind::Mini;
          }
          const std::optional<PayoutKind> got = WinOf(type, ticket, w, game);
          ASSERT_EQ(got, want) << x << " on " << y;
          if (got) {
            expected += TheoreticalPayout(*got, w, game) / static_cast<double>(drawn.size());
          }
        }
        EXPECT_NEAR(expected, 0.45 * kTicketPrice, 1e-9) << ticket.Text();
      }
    }
  }
  // The amounts themselves, as the games' tables give them.
  EXPECT_EQ(TheoreticalPayout(PayoutKind::Box, {1, 2, 3}, Game::kNumbers3), 15000U);
  EXPECT_EQ(TheoreticalPayout(PayoutKind::SetStraight, {1, 1, 3}, Game::kNumbers3), 60000U);
  EXPECT_EQ(TheoreticalPayout(PayoutKind::SetBox, {1, 2, 3}, Game::kNumbers3), 7500U);
  EXPECT_EQ(TheoreticalPayout(PayoutKind::Box, {1, 1, 2, 2}, Game::kNumbers4), 150000U);
  EXPECT_EQ(TheoreticalPayout(PayoutKind::Box, {1, 1, 1, 2}, Game::kNumbers4), 225000U);
  EXPECT_EQ(TheoreticalPayout(PayoutKind::Box, {7, 7, 7}, Game::kNumbers3), 0U);
}

}  // namespace
}  // namespace tolvane::test
