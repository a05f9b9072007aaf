#include "predict/tickets.h"

#include <algorithm>

namespace tolvane {
namespace {

using RankTuple = std::array<std::uint8_t, kMaxPlaces>;  // 0-based ranks, a place each

// Every tuple of `places` ranks (0 to 9 each) in the order tickets are picked: by the sum of the
// ranks, then by the first place's rank, then the second's, and so on. The same for every
// ranking, so it is worked out once.
std::vector<RankTuple> TicketOrder(int places) {
  std::vector<RankTuple> tuples;
  int count = 1;
  for (int p = 0; p < places; ++p) {
    count *= kDigitValues;
  }
  tuples.reserve(static_cast<std::size_t>(count));
  for (int index = 0; index < count; ++index) {
    RankTuple tuple{};
    int rest = index;
    for (int p = places - 1; p >= 0; --p) {
      tuple[static_cast<std::size_t>(p)] = static_cast<std::uint8_t>(rest % kDigitValues);
      rest /= kDigitValues;
    }
    tuples.push_back(tuple);
  }
  // Ascending index is lexicographic order, so a stable sort by the sum gives the whole order.
  std::stable_sort(tuples.begin(), tuples.end(), [places](const RankTuple& a, const RankTuple& b) {
    int sumA = 0;
    int sumB = 0;
    for (int p = 0; p < places; ++p) {
      sumA += a[static_cast<std::size_t>(p)];
      sumB += b[static_cast<std::size_t>(p)];
    }
    return sumA < sumB;
  });
  return tuples;
}

const std::vector<RankTuple>& OrderOf(int places) {
  static const std::vector<RankTuple> two = TicketOrder(2);
  static const std::vector<RankTuple> three = TicketOrder(3);
  static const std::vector<RankTuple> four = TicketOrder(4);
  return places == 2 ? two : places == 3 ? three : four;
}

bool AllAlike(const Ticket& ticket) {
  return std::all_of(ticket.digits.begin(), ticket.digits.begin() + ticket.count,
                     [&ticket](std::uint8_t digit) { return digit == ticket.digits[0]; });
}

// The digits as a multiset: how many of each.
std::array<std::uint8_t, kDigitValues> Multiset(const std::uint8_t* digits, int count) {
  std::array<std::uint8_t, kDigitValues> held{};
  for (int i = 0; i < count; ++i) {
    ++held[digits[i]];
  }
  return held;
}

}  // namespace

int DistinctTickets(Game game, BetType type) {
  const bool four = game == Game::kNumbers4;
  switch (type) {
    case BetType::Straight:
      return four ? 10000 : 1000;
    case BetType::Box:
    case BetType::Set:
      // Multisets of the digits, C(10 + places - 1, places), less the ten of one digit alike.
      return four ? 705 : 210;
    case BetType::Mini:
      return four ? 0 : 100;
  }
  return 0;
}

std::string Ticket::Text() const {
  std::string text;
  for (int i = 0; i < count; ++i) {
    text += static_cast<char>('0' + digits[static_cast<std::size_t>(i)]);
  }
  return text;
}

std::vector<Ticket> TicketsOf(const std::vector<DigitOrder>& ranking, BetType type, int n) {
  const int places = static_cast<int>(ranking.size());
  std::vector<Ticket> tickets;
  if (n <= 0) {
    return tickets;
  }
  tickets.reserve(static_cast<std::size_t>(n));
  // Mini ranks the last two places by their own ranks.
  const int first = type == BetType::Mini ? places - 2 : 0;
  const int count = places - first;
  // The multisets taken, each by its digits in ascending order read as a number.
  std::array<bool, 10000> taken{};
  for (const RankTuple& ranks : OrderOf(count)) {
    Ticket ticket;
    ticket.count = count;
    for (int i = 0; i < count; ++i) {
      const int place = first + i;
      const DigitOrder& order = ranking[static_cast<std::size_t>(place)];
      ticket.digits[static_cast<std::size_t>(i)] =
          static_cast<std::uint8_t>(order[ranks[static_cast<std::size_t>(i)]]);
    }
    if (type == BetType::Box || type == BetType::Set) {
      if (AllAlike(ticket)) {
        continue;
      }
      int key = 0;
      const std::array<std::uint8_t, kDigitValues> multiset = Multiset(ticket.digits.data(), count);
      for (int digit = 0; digit < kDigitValues; ++digit) {
        for (int times = 0; times < multiset[static_cast<std::size_t>(digit)]; ++times) {
          key = key * kDigitValues + digit;
        }
      }
      if (taken[static_cast<std::size_t>(key)]) {
        continue;
      }
      taken[static_cast<std::size_t>(key)] = true;
    }
    tickets.push_back(ticket);
    if (static_cast<int>(tickets.size()) == n) {
      break;
    }
  }
  return tickets;
}

std::optional<PayoutKind> WinOf(BetType type, const Ticket& ticket,
                                const std::array<std::uint8_t, kMaxPlaces>& drawn, Game game) {
  const int places = PlaceCount(game);
  const bool equal = std::equal(drawn.begin(), drawn.begin() + places, ticket.digits.begin());
  const auto sameDigits = [&] {
    const bool alike = std::all_of(drawn.begin(), drawn.begin() + places,
                                   [&drawn](std::uint8_t digit) { return digit == drawn[0]; });
    return !alike && Multiset(drawn.data(), places) == Multiset(ticket.digits.data(), places);
  };
  switch (type) {
    case BetType::Straight:
      return equal ? std::optional(PayoutKind::Straight) : std::nullopt;
    case BetType::Box:
      return sameDigits() ? std::optional(PayoutKind::Box) : std::nullopt;
    case BetType::Set:
      if (equal && DistinctOrders(drawn, game) > 1) {
        return PayoutKind::SetStraight;
      }
      return sameDigits() ? std::optional(PayoutKind::SetBox) : std::nullopt;
    case BetType::Mini:
      return places == 3 && ticket.digits[0] == drawn[1] && ticket.digits[1] == drawn[2]
                 ? std::optional(PayoutKind::Mini)
                 : std::nullopt;
  }
  return std::nullopt;
}

int DistinctOrders(const std::array<std::uint8_t, kMaxPlaces>& drawn, Game game) {
  const int places = PlaceCount(game);
  int orders = 1;
  for (int i = 2; i <= places; ++i) {
    orders *= i;
  }
  for (const std::uint8_t count : Multiset(drawn.data(), places)) {
    for (int i = 2; i <= count; ++i) {
      orders /= i;
    }
  }
  return orders;
}

std::uint32_t TheoreticalPayout(PayoutKind kind, const std::array<std::uint8_t, kMaxPlaces>& drawn,
                                Game game) {
  // 90 yen over the chance that a ticket wins: straight 1 in 1,000 (10,000); box and set as many
  // in 1,000 as the drawn digits have orders; mini 1 in 100.
  const std::uint32_t straight = game == Game::kNumbers4 ? 900000 : 90000;
  const int orders = DistinctOrders(drawn, game);
  const std::uint32_t box = orders > 1 ? straight / static_cast<std::uint32_t>(orders) : 0;
  switch (kind) {
    case PayoutKind::Straight:
      return straight;
    case PayoutKind::Box:
      return box;
    case PayoutKind::SetStraight:
      return orders > 1 ? straight / 2 + box / 2 : 0;
    case PayoutKind::SetBox:
      return box / 2;
    case PayoutKind::Mini:
      return game == Game::kNumbers3 ? 9000 : 0;
  }
  return 0;
}

}  // namespace tolvane
