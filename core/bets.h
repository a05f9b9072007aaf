#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/game.h"
#include "core/option_entry.h"

namespace tolvane {

// The tickets a player buys: the kinds of bet (straight: the exact order; box: any order; set:
// half of each; mini, Numbers 3 only: the tens and ones in order), what a ticket costs, and the
// payouts a results file gives for one winning ticket of each.

enum class BetType { Straight, Box, Set, Mini };

inline constexpr std::array<OptionEntry<BetType>, 4> kBetTypes = {{
    {BetType::Straight, "straight", "ストレート"},
    {BetType::Box, "box", "ボックス"},
    {BetType::Set, "set", "セット"},
    {BetType::Mini, "mini", "ミニ"},
}};
inline constexpr std::string_view Word(BetType type) { return WordIn(kBetTypes, type); }

// Yen a ticket costs.
inline constexpr int kTicketPrice = 200;

// Whether the game sells the kind of bet: mini is Numbers 3's only.
inline constexpr bool Sells(Game game, BetType type) {
  return type != BetType::Mini || game == Game::kNumbers3;
}

// What a winning ticket is paid by, in the order of a history's payout columns.
enum class PayoutKind { Straight, Box, SetStraight, SetBox, Mini };
inline constexpr std::size_t kPayoutKinds = 5;

// The payout columns' names in a history's header, fields 5 to 9 (Numbers 4: 5 to 8, no mini).
inline constexpr std::array<std::string_view, kPayoutKinds> kPayoutColumnNames = {
    "ストレート", "ボックス", "セット(ストレート)", "セット(ボックス)", "ミニ"};
inline constexpr std::size_t PayoutColumnCount(Game game) {
  return game == Game::kNumbers4 ? 4 : 5;
}

// One draw's yen for one winning 200-yen ticket of each kind; 0 where it is not known.
using Payouts = std::array<std::uint32_t, kPayoutKinds>;

}  // namespace tolvane
