#include "cli/stats_command.h"

#include <iostream>

#include "app/statistics_report.h"
#include "cli/encoding_option.h"
#include "cli/exit_status.h"
#include "cli/game_option.h"
#include "cli/history_argument.h"
#include "cli/last_option.h"
#include "cli/stats_report.h"
#include "evaluate/digit_statistics.h"

namespace tolvane::cli {
CLI::App* AddStatsCommand(CLI::App& app, StatsArguments& args) {
  CLI::App* stats =
      app.add_subcommand("stats",
                         "Digit counts per place, draws since each digit was last seen, and the "
                         "chi-square test of the counts against a fair draw");
  AddHistoryArgument(*stats, args.history);
  AddEncodingOption(*stats, args.encoding);
  AddGameOption(*stats, args.game);
  AddLastOption(*stats, args.last, "Only the newest N draws (default: every draw)");
  AddFormatOption(*stats, args.format, "text for people, json or csv for programs");
  return stats;
}

int RunStats(const StatsArguments& args) {
  OwnedHistory history;
  LoadReport report;
  if (!LoadHistoryArgument(args.history, history, report, args.encoding, args.game)) {
    return kExitFailed;
  }
  const DigitStatistics statistics = ComputeDigitStatistics(history.get(), args.last);
  if (statistics.status != StatisticsStatus::Ok) {
    Complain(StatusText(statistics));
    return kExitFailed;
  }
  switch (args.format) {
    case OutputFormat::Text:
      std::cout << StatisticsText(args.history, statistics);
      break;
    case OutputFormat::Json:
      std::cout << StatisticsJson(args.history, statistics) << '\n';
      break;
    case OutputFormat::Csv:
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
