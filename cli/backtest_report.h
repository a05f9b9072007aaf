#pragma once

#include <array>
#include <ostream>
#include <string>

#include "cli/output_format.h"
#include "evaluate/evaluation.h"

namespace tolvane::cli {

// The k shown by the text report, and so the number of p-values per place it prints.
inline constexpr std::array<int, 3> kTextRanks = {1, 3, 5};

// Writes a successful evaluation of the history at `path` (as the user named it) in one format:
// text for a person, JSON with every hit count and p-value, CSV with a row per run and draw
// (the evaluation must then keep its targets).
void WriteReport(std::ostream& out, OutputFormat format, const std::string& path,
                 const Evaluation& evaluation);

}  // namespace tolvane::cli
