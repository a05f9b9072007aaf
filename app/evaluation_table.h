#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "evaluate/evaluation.h"

namespace tolvane {

// The level a family of p-values keeps: each one is judged against kSignificance / tests
// (Bonferroni), so that nothing passes by chance alone more than 5 % of the time.
inline constexpr double kSignificance = 0.05;
double BonferroniThreshold(std::size_t tests);

// "lpf head": the run's filter and frame in the command line's words ("none" has no frame).
std::string RunName(const RunOutcome& run);

// The name of all places at once in the machine-readable outputs: "all_three" for Numbers 3,
// "all_four" for Numbers 4.
std::string AllPlacesWord(Game game);

// One line of the evaluation window's table and of the CSV it saves: one run, one place (or all
// three at once) and one k.
struct EvaluationRow {
  std::string filter;  // the command line's words: lpf, bpf, none
  std::string frame;   // head, tail, center, headtail; empty with none
  std::string place;   // thousands, hundreds, tens, ones, or all_three / all_four
  int k = 0;
  std::uint32_t hits = 0;
  std::uint32_t trials = 0;
  double hitRate = 0.0;  // hits / trials
  double chance = 0.0;   // a random ranking's hit rate
  double pValue = 0.0;
  std::optional<double> meanRank;  // the places only
};

// Every run, then each place highest first and all of them at once, then k = 1..10.
std::vector<EvaluationRow> EvaluationRows(const Evaluation& evaluation);

// The Bonferroni figures over the rows' p-values, all but those at k = 10 (1 by definition):
// how many tests, the threshold each must beat, and how many do.
struct RowSignificance {
  std::size_t tests = 0;
  double threshold = 0.0;
  std::size_t significant = 0;
};
RowSignificance SignificanceOf(const std::vector<EvaluationRow>& rows);

// The rows as CSV with a header line; each double in the fewest digits that read back the same.
std::string EvaluationCsv(const std::vector<EvaluationRow>& rows);

// The middle 95 % of a random ranking's hit rate over `trials` draws when a hit has the chance
// `chance`: the 2.5 % and 97.5 % quantiles of Binomial(trials, chance) (each the smallest count
// whose CDF reaches the level), divided by trials.
struct ChanceBand {
  double lower = 0.0;
  double upper = 0.0;
};
ChanceBand ChanceBandAt(std::uint32_t trials, double chance);

}  // namespace tolvane
