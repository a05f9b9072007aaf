#include "cli/stats_report.h"

#include <nlohmann/json.hpp>

#include "core/game.h"

namespace tolvane::cli {

std::string StatisticsJson(const std::string& history, const DigitStatistics& statistics) {
  nlohmann::ordered_json places = nlohmann::ordered_json::array();
  for (std::size_t place = 0; place < statistics.places.size(); ++place) {
    const PlaceStatistics& counts = statistics.places[place];
    nlohmann::ordered_json sinceLast = nlohmann::ordered_json::array();
    for (const std::optional<std::uint32_t>& since : counts.sinceLast) {
      sinceLast.push_back(since.has_value() ? nlohmann::ordered_json(*since) : nullptr);
    }
    places.push_back({{"place", PlaceWord(statistics.game, static_cast<int>(place))},
                      {"counts", counts.counts},
                      {"chi_square", counts.chiSquare},
                      {"p_value", counts.pValue},
                      {"since_last", std::move(sinceLast)}});
  }
  const nlohmann::ordered_json document = {
      {"game", Word(statistics.game)},    {"history", history},
      {"draws", statistics.draws},        {"first_draw", statistics.firstDraw},
      {"last_draw", statistics.lastDraw}, {"places", std::move(places)}};
  // A path is bytes; one that is no UTF-8 is written with replacement characters, not refused.
  return document.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace tolvane::cli
