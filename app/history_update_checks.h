#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "history/history_import.h"
#include "history/history_update.h"
#include "history/load_report.h"

namespace tolvane {

// The checks, and their reasons, of adding to a history: `tolvane-cli add` and `import --into`
// and the window's 当選番号の追加 and 結果ファイルで更新 refuse the same things in the same words.

// The digits of a number typed in ASCII or full-width digits (UTF-8); nullopt for anything else.
std::optional<std::string> AsciiDigits(const std::string& text);

// "第6501回".
std::string RoundName(std::int64_t round);

// After a history at `path` has loaded as a prediction loads it: why it cannot be rewritten
// (not a regular file, or rounds that stop going up, `command` naming what refuses); empty when
// it can.
std::string UpdateTargetProblem(const std::string& path, const LoadReport& report,
                                const std::string& command);

// Before a history at `path` is read for rewriting: why it cannot be (not a regular file, which
// reading might wait on forever, as a FIFO with no writer does); empty when it can, or when
// there is no such file (the load then says so).
std::string UpdateTargetKindProblem(const std::string& path, const std::string& command);

// A new draw for the end of `history` (read from `path`): its round and date, or why not.
struct DrawAddition {
  ImportedDraw draw;    // round and date; the digits are the caller's
  std::string warning;  // "PATH: round 6502 is missing before 第6503回"; empty without a gap
  std::string failure;  // why it cannot be added; empty when it can
  // No date was given where none follows: after a gap, or without a draw to count from.
  bool dateNeeded = false;
};
// `round` nullopt: the highest + 1. `date` nullopt: the next draw day after the newest draw's.
DrawAddition PlanDrawAddition(const std::string& path, const HistoryContents& history,
                              std::optional<std::int64_t> round,
                              std::optional<std::chrono::year_month_day> date);

// "SOURCE:LINE: HISTORY:LINE holds the same round with another draw (...)"; empty when the plan
// has no conflict.
std::string MergeConflictDetail(const std::string& source, const std::string& history,
                                const MergePlan& plan);

// What a converted source (named `source`) seems wrong about, without failing: the other game's
// draws, payout-like columns not read. "SOURCE: ..." each, without "warning: ".
std::vector<std::string> SourceWarnings(const std::string& source, const ImportResult& result);

// What merging `result` into `history` (read from `path`) by `plan` does not keep of the source:
// payouts the history holds otherwise, payouts its header has no column for.
std::vector<std::string> MergeWarnings(const std::string& source, const std::string& path,
                                       const ImportResult& result, const HistoryContents& history,
                                       const MergePlan& plan);

}  // namespace tolvane
