#include "cli/command_line.h"

#include <CLI/CLI.hpp>
#include <exception>
#include <iostream>
#include <string_view>

#include "cli/add_command.h"
#include "cli/backtest_command.h"
#include "cli/exit_status.h"
#include "cli/import_command.h"
#include "cli/predict_command.h"
#include "cli/stats_command.h"
#include "core/version.h"

namespace tolvane::cli {
namespace {

int Run(int argc, char** argv, const ProgressObserver& observer) {
  CLI::App app(
      "Ranks the digits of the next Numbers 3 or Numbers 4 draw by the power spectra of past "
      "draws.",
      "tolvane-cli");
  app.require_subcommand(1);
  app.failure_message(CLI::FailureMessage::help);
  app.set_version_flag("--version", kVersionLine, "Print the version and exit");
  // Each command's parser costs every start its time to build: a run that names its command first
  // builds that one alone (help, the version and anything else build them all).
  const std::string_view named = argc > 1 ? argv[1] : "";
  const bool one = named == "predict" || named == "import" || named == "backtest" ||
                   named == "stats" || named == "add";
  const auto wanted = [one, named](std::string_view command) { return !one || named == command; };
  PredictArguments predictArgs;
  CLI::App* predict = wanted("predict") ? AddPredictCommand(app, predictArgs) : nullptr;
  ImportArguments importArgs;
  CLI::App* importCommand = wanted("import") ? AddImportCommand(app, importArgs) : nullptr;
  BacktestArguments backtestArgs;
  CLI::App* backtest = wanted("backtest") ? AddBacktestCommand(app, backtestArgs) : nullptr;
  StatsArguments statsArgs;
  CLI::App* stats = wanted("stats") ? AddStatsCommand(app, statsArgs) : nullptr;
  AddArguments addArgs;
  CLI::App* add = wanted("add") ? AddAddCommand(app, addArgs) : nullptr;
  // Every command's own help follows the list, so this help (and the manual page made from it)
  // describes every option.
  app.footer(
      "A HISTORY of - is read from standard input. Without --round the round shown is the one\n"
      "after the highest round in the history.\n"
      "Exit status: 0 success, 1 failure (the reason on standard error), 2 usage error.");
  app.footer([&app] {
    std::string text = "Each command in full:\n";
    for (const CLI::App* command : app.get_subcommands({})) {
      text += '\n' + command->help(app.get_name());
    }
    return text;
  });

  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& helpOrVersion) {
    app.exit(helpOrVersion, std::cout, std::cerr);
    std::cout.flush();
    return std::cout ? kExitOk : kExitFailed;
  } catch (const CLI::ParseError& error) {
    app.exit(error, std::cout, std::cerr);
    return kExitUsage;
  }
  if (predict != nullptr && predict->parsed()) {
    return RunPredict(predictArgs);
  }
  if (importCommand != nullptr && importCommand->parsed()) {
    return RunImport(importArgs);
  }
  if (backtest != nullptr && backtest->parsed()) {
    return RunBacktest(backtestArgs, observer);
  }
  if (stats != nullptr && stats->parsed()) {
    return RunStats(statsArgs);
  }
  if (add != nullptr && add->parsed()) {
    return RunAdd(addArgs);
  }
  return kExitUsage;
}

}  // namespace

int RunCommandLine(int argc, char** argv, const ProgressObserver& observer) {
  // Each command reports its own failures; this only catches the tool's own set-up failing
  // (such as running out of memory while building the parser).
  try {
    return Run(argc, argv, observer);
  } catch (const std::exception& error) {
    Complain(error.what());
  } catch (...) {
    Complain("unexpected failure");
  }
  return kExitFailed;
}

}  // namespace tolvane::cli
