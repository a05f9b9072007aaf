#pragma once

#include <string>

#include "app/prediction_analysis.h"

namespace tolvane::cli {

// One JSON object, ending in a line feed: game, round, draws, cycles, filter, frame (null without a
// filter), transformed_cycles as [start, end) pairs, and per place its ranking (best first) and
// scores (by digit). Keys in that order; doubles read back as the same double.
std::string AnalysisJson(const PredictionAnalysis& analysis);

// "place,rank,digit,score", then one row per place and rank (rank 1 first), each ending in a line
// feed; scores read back as the same double.
std::string AnalysisCsv(const PredictionAnalysis& analysis);

}  // namespace tolvane::cli
