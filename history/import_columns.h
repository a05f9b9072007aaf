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

// Finds the three columns by the header's names: round 回別, 回号, 開催回, 回 or No (any case);
// date 抽せん日, 抽選日 or 日付; number 当せん番号, 当選番号, 当選数字 or 本数字. A name earlier
// in its list wins over a later one. Nullopt when any of the three is missing; `reason` then
// says which and lists the header's fields.
std::optional<ImportColumns> FindImportColumns(const std::vector<std::u16string>& header,
                                               std::string& reason);

// The payout columns a results file's header names, by kind (core/bets.h): 金額[STR], ストレート
// 賞金額, ストレート賞金 or ストレート for straight, and the same for ボックス / BOX,
// セット(ストレート) or セットのストレート / SET-STR, セット(ボックス) or セットのボックス /
// SET-BOX, and ミニ. Counts such as 口数[STR] are no payouts. nullopt for a kind the header does
// not name.
using PayoutColumns = std::array<std::optional<std::size_t>, kPayoutKinds>;
PayoutColumns FindPayoutColumns(const std::vector<std::u16string>& header);

}  // namespace tolvane
