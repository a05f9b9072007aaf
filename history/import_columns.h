#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/bets.h"

namespace tolvane {

// Far more fields than any results file has: no column beyond these is read or offered, so a
// header of a million fields costs no more than its text.
inline constexpr std::size_t kMaxImportColumns = 10000;

// Where round, date and winning number stand in a results file's lines (0-based fields).
struct ImportColumns {
  std::size_t round = 0;
  std::size_t date = 1;
  std::size_t number = 2;

  bool operator==(const ImportColumns&) const = default;
  // The fields a line needs to hold all three.
  std::size_t FieldsNeeded() const;
};

// Header names are compared by their key: ASCII (full-width too) without case, and without
// spaces, underscores, hyphens, dots, ・ and brackets, so "Draw Date", "draw_date" and "DRAW-DATE"
// are one name, and セット(ストレート) is セットストレート.

// Finds the three columns by the header's names, Japanese or English (KnownColumnNames lists
// them). A name earlier in its list wins over a later one. Nullopt when any of the three is
// missing; `reason` then says which and lists the header's fields.
std::optional<ImportColumns> FindImportColumns(const std::vector<std::u16string>& header,
                                               std::string& reason);

// "round: 回別, 回号, ...; date: ...; winning number: ...": every name FindImportColumns knows.
std::string KnownColumnNames();

// Where each kind of payout (core/bets.h) stands: a 0-based field, or nullopt when not named.
struct PayoutColumns {
  std::array<std::optional<std::size_t>, kPayoutKinds> at;

  std::optional<std::size_t>& operator[](std::size_t kind) { return at[kind]; }
  const std::optional<std::size_t>& operator[](std::size_t kind) const { return at[kind]; }
  // Whether any kind is named.
  explicit operator bool() const;
  bool operator==(const PayoutColumns&) const = default;
};

// The payout columns a header names among its fields from `from` on, each kind by its own name:
// the kind of bet (ストレート, ボックス, セット(ストレート) or セットのストレート, セット(ボックス)
// or セットのボックス, ミニ; straight or str, box, set_straight or set_str, set_box, mini) alone,
// after 金額 or 賞金 (金額[STR]), or followed by a prize word: 賞金, 賞金額, 当せん金, 当選金,
// 払戻金, 配当, prize, payout or amount (ストレート賞金, straight_prize), and perhaps a unit, 円 or
// yen (ボックス賞金(円)). A winner count, named
// with 口数, winners or count (口数[STR], ストレート口数), is no payout. The first column of a kind
// is the one read.
PayoutColumns FindPayoutColumns(const std::vector<std::u16string>& header, std::size_t from = 0);

// The names of the fields from `from` on that look like payouts (a prize word or a kind of bet
// in the name) but that `payouts` does not read and that are no winner count: for a warning,
// since their amounts are left out.
std::vector<std::u16string> UnreadPayoutNames(const std::vector<std::u16string>& header,
                                              std::size_t from, const PayoutColumns& payouts);

// "\"X\", \"Y\" look like payout columns but are not read (a payout column is named ...)".
std::string UnreadPayoutsText(const std::vector<std::u16string>& names);

// The words for each kind in messages: "straight", "box", "set-straight", "set-box", "mini".
inline constexpr std::array<const char*, kPayoutKinds> kPayoutKindWords = {
    "straight", "box", "set-straight", "set-box", "mini"};

}  // namespace tolvane
