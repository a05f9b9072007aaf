#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "evaluate/evaluation.h"
#include "history/draw_history.h"
#include "predict/cycle_counts.h"

namespace tolvane {

// How often each digit was drawn in each place over a window of the newest draws, with the
// chi-square test of those counts against a fair draw (each digit 1 in 10).

inline constexpr int kChiSquareDegreesOfFreedom = kDigitValues - 1;
// The 5 % level split over the places (Bonferroni: 0.05 / 3 for Numbers 3, 0.05 / 4 for
// Numbers 4), so that a fair draw fails the test in any of them at most 5 % of the time.
inline double FairDrawLevel(int places) { return 0.05 / places; }

struct PlaceStatistics {
  std::array<std::uint32_t, kDigitValues> counts{};
  // Sum over d of (counts[d] - n/10)^2 / (n/10), added in digit order.
  double chiSquare = 0.0;
  // P(X >= chiSquare) for X ~ chi-squared with 9 degrees of freedom.
  double pValue = 1.0;
  // Draws in the window after the newest one that drew d; nullopt: d not drawn in the window.
  std::array<std::optional<std::uint32_t>, kDigitValues> sinceLast{};
};

enum class StatisticsStatus {
  Ok,
  NoDraws,         // the history holds no draw
  EmptyWindow,     // last was 0
  InvalidHistory,  // series of different sizes, unusable, or a value that is no digit
};

struct DigitStatistics {
  StatisticsStatus status = StatisticsStatus::Ok;
  std::uint32_t draws = 0;              // draws in the history
  std::uint32_t firstDraw = 0;          // 1-based number (file order) of the window's oldest draw
  std::uint32_t lastDraw = 0;           // the newest: always draws
  std::uint32_t window = 0;             // draws in the window, n
  Game game = Game::kNumbers3;          // the history's
  std::vector<PlaceStatistics> places;  // one per place of the game, highest first
};

// The statistics of the last `last` draws (all of them when nullopt or more than there are).
// The series are only read. Throws nothing.
DigitStatistics ComputeDigitStatistics(const DrawHistory& history,
                                       std::optional<std::uint32_t> last = std::nullopt);

// P(X >= x) for X ~ chi-squared with `degreesOfFreedom`; 1 for x <= 0, NaN for a bad argument.
double ChiSquareUpperTail(double x, int degreesOfFreedom);

// Whether a place's p-value leaves its counts consistent with a fair draw at the level of a game
// of `places` places.
inline bool ConsistentWithFairDraw(double pValue, int places = 3) {
  return !(pValue <= FairDrawLevel(places));
}

// English text for a status other than Ok, for the front ends: e.g. "no statistics: the history
// holds 0 draws".
std::string StatusText(const DigitStatistics& statistics);

}  // namespace tolvane
