// tolvane-cli: the window's commands from the command line.

#include <CLI/CLI.hpp>
#include <exception>
#include <iostream>

#include "cli/exit_status.h"
#include "cli/import_command.h"
#include "cli/predict_command.h"

namespace tolvane::cli {
namespace {

int Main(int argc, char** argv) {
  CLI::App app("Ranks the digits of the next Numbers 3 draw by the power spectra of past draws.",
               "tolvane-cli");
  app.require_subcommand(1);
  app.failure_message(CLI::FailureMessage::help);
  PredictArguments predictArgs;
  CLI::App* predict = AddPredictCommand(app, predictArgs);
  ImportArguments importArgs;
  CLI::App* import = AddImportCommand(app, importArgs);
  // The top-level help names every command with all its options, so a single --help suffices.
  app.footer(
      "Usage of the predict command:\n"
      "  tolvane-cli predict HISTORY [--round TEXT] [--filter lpf|bpf|none]\n"
      "                              [--frame head|tail|center|headtail] [--log PATH]\n"
      "Run 'tolvane-cli predict --help' for what each option means.\n"
      "Usage of the import command (a results file of another layout into a history):\n"
      "  tolvane-cli import SOURCE -o DEST [--encoding cp932|utf-8] [--columns R,D,N]\n"
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
  if (import->parsed()) {
    return RunImport(importArgs);
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
