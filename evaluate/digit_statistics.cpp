#include "evaluate/digit_statistics.h"

#include <boost/math/distributions/chi_squared.hpp>
#include <cmath>
#include <limits>

#include "evaluate/quiet_policy.h"
#include "evaluate/tail_real.h"

namespace tolvane {
namespace {

using detail::QuietPolicy;
using detail::TailReal;

std::vector<const WAData*> Places(const DrawHistory& history) {
  const std::array<const WAData*, kMaxPlaces> all = PlaceSeries(history);
  return {all.begin(), all.begin() + PlaceCount(history.game)};
}

// The digit a drawn value stands for; -1 when it is none (only a damaged series holds one).
int DigitOf(double value) {
  if (!(value >= 0.0 && value < kDigitValues)) {
    return -1;
  }
  const int digit = static_cast<int>(value);
  return digit == value ? digit : -1;
}

// Counts, gaps and test of one place over draws [first, end); false when a value is no digit.
bool FillPlace(const WAData& series, std::uint32_t first, std::uint32_t end,
               PlaceStatistics& place) {
  for (std::uint32_t i = first; i < end; ++i) {
    const int digit = DigitOf(series.data[i]);
    if (digit < 0) {
      return false;
    }
    const auto d = static_cast<std::size_t>(digit);
    ++place.counts[d];
    place.sinceLast[d] = end - 1 - i;  // the newest draw of d wins, being the last written
  }
  const double expected = static_cast<double>(end - first) / kDigitValues;
  double sum = 0.0;
  for (const std::uint32_t count : place.counts) {
    const double difference = static_cast<double>(count) - expected;
    sum += difference * difference / expected;
  }
  place.chiSquare = sum;
  place.pValue = ChiSquareUpperTail(sum, kChiSquareDegreesOfFreedom);
  return true;
}

}  // namespace

double ChiSquareUpperTail(double x, int degreesOfFreedom) {
  if (degreesOfFreedom < 1 || std::isnan(x)) {
    return std::numeric_limits<double>::quiet_NaN();
  }
  if (x <= 0.0) {
    return 1.0;
  }
  const boost::math::chi_squared_distribution<TailReal, QuietPolicy> distribution(degreesOfFreedom);
  return static_cast<double>(boost::math::cdf(boost::math::complement(distribution, TailReal(x))));
}

DigitStatistics ComputeDigitStatistics(const DrawHistory& history,
                                       std::optional<std::uint32_t> last) {
  DigitStatistics statistics;
  statistics.game = history.game;
  const std::vector<const WAData*> places = Places(history);
  const std::uint32_t draws = places[0]->size;
  statistics.draws = draws;
  for (const WAData* place : places) {
    if (place->size != draws) {
      statistics.status = StatisticsStatus::InvalidHistory;
      return statistics;
    }
  }
  if (draws == 0) {
    statistics.status = StatisticsStatus::NoDraws;
    return statistics;
  }
  if (last == 0U) {
    statistics.status = StatisticsStatus::EmptyWindow;
    return statistics;
  }
  for (const WAData* place : places) {
    if (!IsUsable(*place)) {
      statistics.status = StatisticsStatus::InvalidHistory;
      return statistics;
    }
  }
  statistics.window = last.has_value() && *last < draws ? *last : draws;
  statistics.firstDraw = draws - statistics.window + 1;
  statistics.lastDraw = draws;
  statistics.places.resize(places.size());
  for (std::size_t p = 0; p < places.size(); ++p) {
    if (!FillPlace(*places[p], draws - statistics.window, draws, statistics.places[p])) {
      const std::uint32_t held = statistics.draws;
      statistics = DigitStatistics{};
      statistics.status = StatisticsStatus::InvalidHistory;
      statistics.game = history.game;
      statistics.draws = held;
      return statistics;
    }
  }
  return statistics;
}

std::string StatusText(const DigitStatistics& statistics) {
  switch (statistics.status) {
    case StatisticsStatus::Ok:
      return "";
    case StatisticsStatus::NoDraws:
      return "no statistics: the history holds 0 draws";
    case StatisticsStatus::EmptyWindow:
      return "no statistics: no draws in the window (last 0)";
    case StatisticsStatus::InvalidHistory:
      return "no statistics: the history's places differ in length or hold a value that is no "
             "digit";
  }
  return "";
}

}  // namespace tolvane
