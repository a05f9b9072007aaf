#pragma once

#include <array>
#include <ostream>
#include <string>
#include <string_view>

#include "evaluate/evaluation.h"
#include "predict/prediction_options.h"

namespace tolvane::cli {

enum class ReportFormat { Text, Json, Csv };

inline constexpr std::array<OptionEntry<ReportFormat>, 3> kReportFormats = {{
    {ReportFormat::Text, "text", "text"},
    {ReportFormat::Json, "json", "json"},
    {ReportFormat::Csv, "csv", "csv"},
}};

std::string_view Word(ReportFormat format);

// The k shown by the text report, and so the number of p-values per place it prints.
inline constexpr std::array<int, 3> kTextRanks = {1, 3, 5};

// Writes a successful evaluation of the history at `path` (as the user named it) in one format:
// text for a person, JSON with every hit count and p-value, CSV with a row per run and draw
// (the evaluation must then keep its targets).
void WriteReport(std::ostream& out, ReportFormat format, const std::string& path,
                 const Evaluation& evaluation);

}  // namespace tolvane::cli
