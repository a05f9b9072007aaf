#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/bets.h"
#include "core/game.h"
#include "predict/digit_ranking.h"

namespace tolvane {

// Which tickets a ranking picks, the first of a kind in the ranking's order, and what a ticket
// wins (the kinds of bet: core/bets.h).

// How many distinct tickets of the kind the game sells: straight every number (1,000 or 10,000),
// box and set every set of digits but those all alike (210 or 705), mini every pair (100).
int DistinctTickets(Game game, BetType type);

// A ticket's digits as written, highest place first: a place each, or the tens and ones for mini.
struct Ticket {
  std::array<std::uint8_t, kMaxPlaces> digits{};
  int count = 0;

  std::string Text() const;
  bool operator==(const Ticket&) const = default;
};

// The first `n` tickets of a kind that a ranking picks. `ranking` holds a place's digits best
// first for each place of the game, highest place first. Straight: every number, ordered by the
// sum of its digits' ranks (1 to 10), then by the rank of its first place, then of the second,
// and so on. Box and set: that same order, passing over numbers whose digits are all alike (not
// sold) and numbers whose digits (as a multiset) an earlier one took; each written as met. Mini:
// the (tens, ones) pairs by the sum of their ranks, then the tens' rank, then the ones'. `n` is
// at most DistinctTickets.
std::vector<Ticket> TicketsOf(const std::vector<DigitOrder>& ranking, BetType type, int n);

// What `ticket` of the kind wins on the drawn number `drawn` (a place each, highest first):
// straight when equal; box when the drawn digits are not all alike and the multisets are equal;
// set the set-straight payout when equal, else the set-box payout when the multisets are equal
// (the drawn digits not all alike); mini when equal to the drawn tens and ones. nullopt: nothing.
std::optional<PayoutKind> WinOf(BetType type, const Ticket& ticket,
                                const std::array<std::uint8_t, kMaxPlaces>& drawn, Game game);

// The yen the game pays for one winning 200-yen ticket when a draw's actual payout is not known:
// each kind pays back 45 % in expectation, 90 yen divided by the chance that one ticket of that
// kind wins on that number. 0 for a kind that cannot win on it (box or set on digits all alike).
std::uint32_t TheoreticalPayout(PayoutKind kind, const std::array<std::uint8_t, kMaxPlaces>& drawn,
                                Game game);

// The distinct orders of the drawn digits (6, 3 or 1 for Numbers 3; 24, 12, 6, 4 or 1 for
// Numbers 4).
int DistinctOrders(const std::array<std::uint8_t, kMaxPlaces>& drawn, Game game);

}  // namespace tolvane
