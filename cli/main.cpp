// tolvane-cli: runs the prediction command of the desktop window from the command line.

#include <CLI/CLI.hpp>
#include <array>
#include <cstddef>
#include <iostream>
#include <string>
#include <vector>

#include "app/prediction_command.h"
#include "cli/console_view.h"
#include "core/utf.h"
#include "predict/prediction_options.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct PredictArguments {
  std::string history;
  std::string round = "1";
  tolvane::FilterKind filter = tolvane::FilterKind::LowPass;
  tolvane::FrameMode frame = tolvane::FrameMode::Head;
  std::string logPath;
};

// An option that takes exactly the words of one table and stores the typed value. Only the
// words count: CLI11's own enum conversion would also take the underlying integers.
template <typename Kind, std::size_t N>
CLI::Option* AddWordOption(CLI::App& command, const std::string& name, Kind& value,
                           const std::array<tolvane::OptionEntry<Kind>, N>& table,
                           const std::string& description) {
  std::vector<std::string> words;
  words.reserve(N);
  for (const tolvane::OptionEntry<Kind>& entry : table) {
    words.emplace_back(entry.word);
  }
  return command
      .add_option_function<std::string>(
          name,
          [&value, &table](const std::string& word) {
            for (const tolvane::OptionEntry<Kind>& entry : table) {
              if (entry.word == word) {
                value = entry.kind;
              }
            }
          },
          description)
      ->check(CLI::IsMember(words))
      ->default_str(std::string(tolvane::Word(value)));
}

void AddPredictCommand(CLI::App& app, PredictArguments& args) {
  CLI::App* predict =
      app.add_subcommand("predict", "Rank the ten digit values of each place for the next draw");
  predict->add_option("HISTORY", args.history, "History file (code page 932 CSV)")->required();
  predict->add_option("--round", args.round, "Round number shown in the result, as typed")
      ->capture_default_str();
  AddWordOption(*predict, "--filter", args.filter, tolvane::kFilterKinds,
                "Filter applied before the transform: low-pass, band-pass or none");
  AddWordOption(*predict, "--frame", args.frame, tolvane::kFrameModes,
                "Stretch of each filtered series that is transformed");
  predict->add_option("--log", args.logPath, "Append a diagnostic trace to this file")
      ->type_name("PATH");
}

int RunPredict(const PredictArguments& args) {
  tolvane::PredictionInputs inputs;
  inputs.filePath = tolvane::Utf8ToUtf16(args.history);
  inputs.filter = args.filter;
  inputs.frame = args.frame;
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
