// tolvane-cli: the window's commands from the command line.

#include <CLI/CLI.hpp>
#include <exception>
#include <iostream>

#include "cli/exit_status.h"
#include "cli/predict_command.h"
#include "cli/stats_command.h"

namespace tolvane::cli {
namespace {

int Main(int argc, char** argv) {
  CLI::App app("Ranks the digits of the next Numbers 3 draw by the power spectra of past draws.",
               "tolvane-cli");
  app.require_subcommand(1);
  app.failure_message(CLI::FailureMessage::help);
  PredictArguments predictArgs;
  CLI::App* predict = AddPredictCommand(app, predictArgs);
  StatsArguments statsArgs;
  CLI::App* stats = AddStatsCommand(app, statsArgs);
  // The top-level help names the commands with all their options, so a single --help suffices.
  app.footer(
      "Usage of the predict command:\n"
      "  tolvane-cli predict HISTORY [--round TEXT] [--filter lpf|bpf|none]\n"
      "                              [--frame head|tail|center|headtail] [--log PATH]\n"
      "Usage of the stats command:\n"
      "  tolvane-cli stats HISTORY [--last N] [--format text|json|csv]\n"
      "Run 'tolvane-cli COMMAND --help' for what each option means.\n"
      "Exit status: 0 success, 1 failure (the reason on standard error), 2 usage error.");

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    app.exit(help, std::cout, std::cerr);
    std::cout.flush();
    return std::cout ? kExitOk : kExitFailed;
  } catch (const CLI::ParseError& error) {
    app.exit(error, std::cout, std::cerr);
    return kExitUsage;
  }
  if (predict->parsed()) {
    return RunPredict(predictArgs);
  }
  if (stats->parsed()) {
    return RunStats(statsArgs);
  }
  return kExitUsage;
}

}  // namespace
}  // namespace tolvane::cli

int main(int argc, char** argv) {
  // Each command reports its own failures; this only catches the tool's own set-up failing
  // (such as running out of memory while building the parser).
  try {
    return tolvane::cli::Main(argc, argv);
  } catch (const std::exception& error) {
    tolvane::cli::Complain(error.what());
  } catch (...) {
    tolvane::cli::Complain("unexpected failure");
  }
  return tolvane::cli::kExitFailed;
}
