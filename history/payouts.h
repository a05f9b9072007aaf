#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/bets.h"
#include "history/import_columns.h"
#include "history/load_report.h"

namespace tolvane {

// The payouts a history may carry for the money replay: fields 5 on of each draw line, each kind
// in the column its header names (FindPayoutColumns: ストレート,ボックス,セット(ストレート),
// セット(ボックス),ミニ as import writes them, or in another order, or by other names). The
// prediction's loader never reads past field 4; only what replays tickets reads these.

// An amount of yen in a payout field: digits (ASCII or full-width), with thousands separators
// allowed ("52,500", "５２，５００"). Empty, "-", "0" and "該当なし" mean the payout is not known
// (0). nullopt when the field is none of these, or an amount above 4294967295.
std::optional<std::uint32_t> ReadPayout(std::u16string_view field);

// Why ReadPayout refused a field, "\"X\" is not an amount of yen" or "\"X\" is above the largest
// amount, 4294967295 yen".
std::string PayoutFieldReason(std::u16string_view field);

// The reason for a field that is no amount: `payout "X" in column ボックス is not an amount of
// yen`.
std::string PayoutReason(std::u16string_view field, PayoutKind kind);

// The first payout two lines of one draw both know with different amounts, in words:
// "ボックス 36928 there, 36929 here"; empty when they agree where both know.
std::string PayoutDifference(const Payouts& there, const Payouts& here);

// "回別,抽せん日,曜日,当せん番号" with the game's payout columns after it.
std::string PayoutHistoryHeader(Game game);

// The payout columns of the kinds the game sells that a history's header names as fields 5 on.
PayoutColumns HistoryPayoutColumns(const std::vector<std::u16string>& header, Game game);

// Each draw line's payouts, in file order, of a history that has loaded as a prediction loads
// it. Without the columns in its header, `columns` is false and every payout unknown.
struct HistoryPayouts {
  bool columns = false;
  std::vector<Payouts> draws;
  std::vector<std::u16string> unreadNames;  // header names that look like payouts, not read
};
// False with `failure` (line and reason) for a payout that is no amount.
bool ReadHistoryPayouts(const std::string& path, const LoadOptions& options,
                        HistoryPayouts& payouts, LoadReport& failure);

}  // namespace tolvane
