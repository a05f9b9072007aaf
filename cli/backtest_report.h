#pragma once

#include <array>
#include <ostream>
#include <string>

#include "cli/output_format.h"
#include "evaluate/evaluation.h"
#include "evaluate/money_replay.h"

namespace tolvane::cli {

// The k shown by the text report, and so the number of p-values per place it prints.
inline constexpr std::array<int, 3> kTextRanks = {1, 3, 5};

// Writes a successful evaluation of the history at `path` (as the user named it) in one format:
// text for a person, JSON with every hit count and p-value, CSV with a row per run and draw
// (the evaluation must then keep its targets).
// With `money` (a list per run, ReplayMoney's), what the tickets would have cost and paid
// follows each run's table in the text, each run's counts in the JSON, and the CSV holds a row
// per run, kind and draw instead.
void WriteReport(std::ostream& out, OutputFormat format, const std::string& path,
                 const Evaluation& evaluation,
                 const std::vector<std::vector<MoneyOutcome>>& money = {});

}  // namespace tolvane::cli
