#pragma once

#include <array>
#include <string>
#include <string_view>

#include "app/prediction_analysis.h"
#include "predict/prediction_options.h"

namespace tolvane::cli {

// How predict prints its result: the window's text, or the rankings for scripts.
enum class OutputFormat { Text, Json, Csv };

inline constexpr std::array<OptionEntry<OutputFormat>, 3> kOutputFormats = {{
    {OutputFormat::Text, "text", ""},
    {OutputFormat::Json, "json", ""},
    {OutputFormat::Csv, "csv", ""},
}};

std::string_view Word(OutputFormat format);

// One JSON object, ending in a line feed: round, draws, cycles, filter, frame (null without a
// filter), transformed_cycles as [start, end) pairs, and per place its ranking (best first) and
// scores (by digit). Keys in that order; doubles read back as the same double.
std::string AnalysisJson(const PredictionAnalysis& analysis);

// "place,rank,digit,score", then one row per place and rank (rank 1 first), each ending in a line
// feed; scores read back as the same double.
std::string AnalysisCsv(const PredictionAnalysis& analysis);

}  // namespace tolvane::cli
