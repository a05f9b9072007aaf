#pragma once

#include <string>

#include "evaluate/digit_statistics.h"

namespace tolvane::cli {

// One JSON object (no line end): game, history, draws, first_draw, last_draw, and per place its
// counts, chi_square, p_value and since_last (null for a digit not seen). Keys in that order;
// doubles in the shortest form that reads back the same.
std::string StatisticsJson(const std::string& history, const DigitStatistics& statistics);

}  // namespace tolvane::cli
