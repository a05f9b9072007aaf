#include "cli/stats_command.h"

#include <iostream>
#include <limits>
#include <nlohmann/json.hpp>

#include "app/statistics_report.h"
#include "cli/encoding_option.h"
#include "cli/exit_status.h"
#include "cli/history_argument.h"
#include "cli/word_option.h"
#include "evaluate/digit_statistics.h"

namespace tolvane::cli {
namespace {

// Keys in the order written; doubles in the shortest form that reads back the same.
std::string StatisticsJson(const std::string& history, const DigitStatistics& statistics) {
  nlohmann::ordered_json places = nlohmann::ordered_json::array();
  for (std::size_t place = 0; place < statistics.places.size(); ++place) {
    const PlaceStatistics& counts = statistics.places[place];
    nlohmann::ordered_json sinceLast = nlohmann::ordered_json::array();
    for (const std::optional<std::uint32_t>& since : counts.sinceLast) {
      sinceLast.push_back(since.has_value() ? nlohmann::ordered_json(*since) : nullptr);
    }
    places.push_back({{"place", kPlaceWords[place]},
                      {"counts", counts.counts},
                      {"chi_square", counts.chiSquare},
                      {"p_value", counts.pValue},
                      {"since_last", std::move(sinceLast)}});
  }
  const nlohmann::ordered_json document = {{"history", history},
                                           {"draws", statistics.draws},
                                           {"first_draw", statistics.firstDraw},
                                           {"last_draw", statistics.lastDraw},
                                           {"places", std::move(places)}};
  // A path is bytes; one that is no UTF-8 is written with replacement characters, not refused.
  return document.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace

std::string_view Word(StatsFormat format) {
  for (const OptionEntry<StatsFormat>& entry : kStatsFormats) {
    if (entry.kind == format) {
      return entry.word;
    }
  }
  return {};
}

CLI::App* AddStatsCommand(CLI::App& app, StatsArguments& args) {
  CLI::App* stats =
      app.add_subcommand("stats",
                         "Digit counts per place, draws since each digit was last seen, and the "
                         "chi-square test of the counts against a fair draw");
  stats->add_option("HISTORY", args.history, "History file (CSV); - reads standard input")
      ->required();
  AddEncodingOption(*stats, args.encoding);
  stats->add_option("--last", args.last, "Only the newest N draws (default: every draw)")
      ->type_name("N")
      ->check(CLI::Range(std::uint32_t{1}, std::numeric_limits<std::uint32_t>::max()));
  AddWordOption(*stats, "--format", args.format, kStatsFormats,
                "text for people, json or csv for programs");
  return stats;
}

int RunStats(const StatsArguments& args) {
  OwnedHistory history;
  LoadReport report;
  if (!LoadHistoryArgument(args.history, history, report, args.encoding)) {
    return kExitFailed;
  }
  const DigitStatistics statistics = ComputeDigitStatistics(history.get(), args.last);
  if (statistics.status != StatisticsStatus::Ok) {
    Complain(StatusText(statistics));
    return kExitFailed;
  }
  switch (args.format) {
    case StatsFormat::Text:
      std::cout << StatisticsText(args.history, statistics);
      break;
    case StatsFormat::Json:
      std::cout << StatisticsJson(args.history, statistics) << '\n';
      break;
    case StatsFormat::Csv:
      std::cout << StatisticsCsv(statistics);
      break;
  }
  std::cout.flush();
  if (!std::cout) {
    Complain("cannot write the statistics to standard output");
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace tolvane::cli
