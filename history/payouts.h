#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/bets.h"
#include "history/load_report.h"

namespace tolvane {

// The payouts a history may carry for the money replay: fields 5 to 9 of each draw line (Numbers
// 4: 5 to 8), named by the header ストレート,ボックス,セット(ストレート),セット(ボックス),ミニ. The
// prediction's loader never reads past field 4; only what replays tickets reads these.

// An amount of yen in a payout field: plain digits, with thousands separators allowed
// ("52,500"). Empty, "-", "0" and "該当なし" mean the payout is not known (0). nullopt when the
// field is none of these.
std::optional<std::uint32_t> ReadPayout(std::u16string_view field);

// The reason for a field that is no amount: `payout "X" in column ボックス is not an amount of
// yen`.
std::string PayoutReason(std::u16string_view field, PayoutKind kind);

// "回別,抽せん日,曜日,当せん番号" with the game's payout columns after it.
std::string PayoutHistoryHeader(Game game);

// Whether a history's header fields name the game's payout columns as fields 5 on.
bool NamesPayoutColumns(const std::vector<std::u16string>& header, Game game);

// Each draw line's payouts, in file order, of a history that has loaded as a prediction loads
// it. Without the columns in its header, `columns` is false and every payout unknown.
struct HistoryPayouts {
  bool columns = false;
  std::vector<Payouts> draws;
};
// False with `failure` (line and reason) for a payout that is no amount.
bool ReadHistoryPayouts(const std::string& path, const LoadOptions& options,
                        HistoryPayouts& payouts, LoadReport& failure);

}  // namespace tolvane
