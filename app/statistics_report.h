#pragma once

#include <array>
#include <string>

#include "evaluate/digit_statistics.h"

namespace tolvane {

// The digit statistics as the front ends write them. Every function takes statistics whose
// status is Ok.

// The report for people: per place a table of counts and draws since last seen, the test's
// result and one plain sentence on what it means. `history` is the path as given.
std::string StatisticsText(const std::string& history, const DigitStatistics& statistics);

// The sentence on one place: consistent with a fair draw or not, and that "due" or "hot" digits
// say nothing about the next draw of a fair one.
std::string FairDrawSentence(int place, const DigitStatistics& statistics);

// CSV: header "place,digit,count,since_last", then ten rows per place in digit order;
// since_last empty when the digit was not drawn in the window. Lines end in LF.
std::string StatisticsCsv(const DigitStatistics& statistics);

// A double in the fewest significant digits (at most `digits`), for people: "0.522", "1.2e-05".
std::string ShortNumber(double value, int digits);

}  // namespace tolvane
