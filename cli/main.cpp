// tolvane-cli: runs the prediction command of the desktop window from the command line.

#include <CLI/CLI.hpp>
#include <cstdint>
#include <iostream>
#include <map>
#include <string>

#include "app/prediction_command.h"
#include "cli/console_view.h"
#include "history/cp932.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct PredictArguments {
  std::string history;
  std::string round = "1";
  std::string filter = "lpf";
  std::string frame = "head";
  std::string logPath;
};

// The window's numbers for the words the options accept (already checked by the parser).
std::int32_t FilterKind(const std::string& word) {
  const std::map<std::string, std::int32_t> kinds{{"lpf", 0}, {"bpf", 1}, {"none", 2}};
  return kinds.at(word);
}

std::int32_t FrameMode(const std::string& word) {
  const std::map<std::string, std::int32_t> modes{
      {"head", 0}, {"tail", 1}, {"center", 2}, {"headtail", -1}};
  return modes.at(word);
}

void AddPredictCommand(CLI::App& app, PredictArguments& args) {
  CLI::App* predict =
      app.add_subcommand("predict", "Rank the ten digit values of each place for the next draw");
  predict->add_option("HISTORY", args.history, "History file (code page 932 CSV)")->required();
  predict->add_option("--round", args.round, "Round number shown in the result, as typed")
      ->capture_default_str();
  predict
      ->add_option("--filter", args.filter,
                   "Filter applied before the transform: low-pass, band-pass or none")
      ->check(CLI::IsMember({"lpf", "bpf", "none"}))
      ->capture_default_str();
  predict->add_option("--frame", args.frame, "Stretch of each filtered series that is transformed")
      ->check(CLI::IsMember({"head", "tail", "center", "headtail"}))
      ->capture_default_str();
  predict->add_option("--log", args.logPath, "Append a diagnostic trace to this file")
      ->type_name("PATH");
}

int RunPredict(const PredictArguments& args) {
  tolvane::PredictionInputs inputs;
  inputs.filePath = tolvane::Utf8ToUtf16(args.history);
  inputs.filterKind = FilterKind(args.filter);
  inputs.frameMode = FrameMode(args.frame);
  tolvane::ConsoleView view(inputs, tolvane::Utf8ToUtf16(args.round));

  tolvane::RunPredictionCommand(view, args.logPath);

  if (!view.Errors().empty()) {
    for (const std::u16string& error : view.Errors()) {
      std::cerr << tolvane::Utf16ToUtf8(error) << '\n';
    }
    return kExitFailed;
  }
  std::cout << tolvane::Utf16ToUtf8(view.ResultText()) << '\n' << std::flush;
  if (!std::cout) {
    // A prediction nobody received is no success.
    std::cerr << "tolvane-cli: cannot write the result to standard output\n";
    return kExitFailed;
  }
  return kExitOk;
}

int Main(int argc, char** argv) {
  CLI::App app("Ranks the digits of the next Numbers 3 draw by the power spectra of past draws.",
               "tolvane-cli");
  app.require_subcommand(1);
  app.failure_message(CLI::FailureMessage::help);
  PredictArguments args;
  AddPredictCommand(app, args);
  // The top-level help names the one command with all its options, so a single --help suffices.
  app.footer(
      "Usage of the predict command:\n"
      "  tolvane-cli predict HISTORY [--round TEXT] [--filter lpf|bpf|none]\n"
      "                              [--frame head|tail|center|headtail] [--log PATH]\n"
      "Run 'tolvane-cli predict --help' for what each option means.");

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
  return RunPredict(args);
}

}  // namespace

int main(int argc, char** argv) {
  // The prediction reports its own failures; this only catches the tool's own set-up failing
  // (such as running out of memory while building the parser).
  try {
    return Main(argc, argv);
  } catch (const std::exception& error) {
    std::cerr << "tolvane-cli: " << error.what() << '\n';
  } catch (...) {
    std::cerr << "tolvane-cli: unexpected failure\n";
  }
  return kExitFailed;
}
