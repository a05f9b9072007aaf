#include "cli/predict_command.h"

#include <iostream>

#include "app/prediction_command.h"
#include "cli/console_view.h"
#include "cli/exit_status.h"
#include "cli/history_argument.h"
#include "cli/log_option.h"
#include "cli/word_option.h"
#include "core/utf.h"

namespace tolvane::cli {
namespace {

constexpr std::uint64_t kCycleLength = 15;
constexpr const char* kPlaceNames[] = {"hundreds", "tens", "ones"};

// The detail line after the window's text, for failures the window explains in its own way.
void ExplainFailure(const PredictionOutcome& outcome, const PredictArguments& args) {
  using Stage = PredictionOutcome::Stage;
  switch (outcome.stage) {
    case Stage::kMissingPath:
      Complain(outcome.path + ": " + MissingPathReason(outcome.path));
      break;
    case Stage::kLoadFailed:
      Complain(LoadFailureDetail(outcome.path, outcome.load));
      break;
    case Stage::kPredicted:
      if (outcome.load.draws < kCycleLength) {
        Complain("no prediction: the history holds " + std::to_string(outcome.load.draws) +
                 " draws; a prediction needs at least 15 (one cycle)");
        break;
      }
      for (std::size_t place = 0; place < std::size(kPlaceNames); ++place) {
        if (!outcome.placeRanked[place]) {
          Complain(std::string("no prediction for the ") + kPlaceNames[place] +
                   " place: its analysis failed" +
                   (args.logPath.empty() ? "; run with --log PATH for a trace"
                                         : "; the trace in " + args.logPath + " shows where"));
        }
      }
      break;
    case Stage::kNoPath:
    case Stage::kFailed:
      break;
  }
}

bool Predicted(const PredictionOutcome& outcome) {
  return outcome.stage == PredictionOutcome::Stage::kPredicted && outcome.placeRanked[0] &&
         outcome.placeRanked[1] && outcome.placeRanked[2];
}

}  // namespace

CLI::App* AddPredictCommand(CLI::App& app, PredictArguments& args) {
  CLI::App* predict =
      app.add_subcommand("predict", "Rank the ten digit values of each place for the next draw");
  predict->add_option("HISTORY", args.history, "History file (code page 932 CSV)")->required();
  predict->add_option("--round", args.round, "Round number shown in the result, as typed")
      ->capture_default_str();
  AddWordOption(*predict, "--filter", args.filter, kFilterKinds,
                "Filter applied before the transform: low-pass, band-pass or none");
  AddWordOption(*predict, "--frame", args.frame, kFrameModes,
                "Stretch of each filtered series that is transformed");
  predict
      ->add_option("--log", args.logPath,
                   "Append a diagnostic trace to this file (not the history)")
      ->type_name("PATH")
      ->check(CLI::Validator(
          [](const std::string& path) { return path.empty() ? "the log path is empty" : ""; }, "",
          "non-empty"));
  // The trace would be appended to the very file it describes, and every later load would fail.
  predict->final_callback([&args] {
    if (!args.logPath.empty() && SameFile(args.logPath, args.history)) {
      throw CLI::ValidationError("--log", "names the history file itself");
    }
  });
  return predict;
}

int RunPredict(const PredictArguments& args) {
  LogOption log(args.logPath);
  if (!log.Open()) {
    return kExitFailed;
  }

  PredictionInputs inputs;
  inputs.filePath = Utf8ToUtf16(args.history);
  inputs.filter = args.filter;
  inputs.frame = args.frame;
  ConsoleView view(inputs, Utf8ToUtf16(args.round));
  const PredictionOutcome outcome = RunPredictionCommand(view, args.logPath);

  int status = kExitOk;
  if (!view.Errors().empty() || !Predicted(outcome)) {
    for (const std::u16string& error : view.Errors()) {
      std::cerr << Utf16ToUtf8(error) << '\n';
    }
    ExplainFailure(outcome, args);
    status = kExitFailed;
  } else {
    std::cout << Utf16ToUtf8(view.ResultText()) << '\n' << std::flush;
    if (!std::cout) {
      // A prediction nobody received is no success.
      Complain("cannot write the result to standard output");
      status = kExitFailed;
    }
  }
  if (!log.CheckWritten()) {
    status = kExitFailed;
  }
  return status;
}

}  // namespace tolvane::cli
