#include "cli/predict_command.h"

#include <algorithm>
#include <array>
#include <iostream>
#include <iterator>

#include "app/prediction_command.h"
#include "cli/console_view.h"
#include "cli/encoding_option.h"
#include "cli/exit_status.h"
#include "cli/game_option.h"
#include "cli/history_argument.h"
#include "cli/history_source.h"
#include "cli/log_option.h"
#include "cli/predict_report.h"
#include "cli/word_option.h"
#include "core/game.h"
#include "core/utf.h"

namespace tolvane::cli {
namespace {

constexpr std::uint64_t kCycleLength = 15;

// The detail line after the window's text, for failures the window explains in its own way.
// `name` is the history as messages call it.
void ExplainFailure(const PredictionOutcome& outcome, const PredictArguments& args,
                    const std::string& name) {
  using Stage = PredictionOutcome::Stage;
  switch (outcome.stage) {
    case Stage::kMissingPath:
      Complain(name + ": " + MissingPathReason(outcome.path));
      break;
    case Stage::kLoadFailed:
      Complain(LoadFailureDetail(name, outcome.load));
      break;
    case Stage::kPredicted:
      if (outcome.load.draws < kCycleLength) {
        Complain("no prediction: the history holds " + std::to_string(outcome.load.draws) +
                 " draws; a prediction needs at least 15 (one cycle)");
        break;
      }
      for (std::size_t place = 0; place < outcome.placeRanked.size(); ++place) {
        if (!outcome.placeRanked[place]) {
          Complain("no prediction for the " +
                   std::string(PlaceWord(outcome.game, static_cast<int>(place))) +
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
  return outcome.stage == PredictionOutcome::Stage::kPredicted &&
         std::all_of(outcome.placeRanked.begin(), outcome.placeRanked.end(),
                     [](bool ranked) { return ranked; });
}

// The result in the format asked for; empty when there is nothing to print it from.
// With tickets asked for, the text gains their lines after it, the JSON their key, and the CSV
// is theirs alone.
std::string ResultOutput(const ConsoleView& view, const PredictArguments& args) {
  const TicketsByBet tickets = view.Analysis()
                                   ? NextTickets(*view.Analysis(), args.bet.bets, args.bet.tickets)
                                   : TicketsByBet();
  if (args.format == OutputFormat::Text) {
    return Utf16ToUtf8(view.ResultText()) + '\n' +
           (tickets.empty() ? std::string() : "\n" + TicketsText(tickets));
  }
  if (!view.Analysis()) {
    return {};
  }
  if (args.format == OutputFormat::Json) {
    return AnalysisJson(*view.Analysis(), tickets);
  }
  return tickets.empty() ? AnalysisCsv(*view.Analysis()) : TicketsCsv(tickets);
}

}  // namespace

CLI::App* AddPredictCommand(CLI::App& app, PredictArguments& args) {
  CLI::App* predict =
      app.add_subcommand("predict", "Rank the ten digit values of each place for the next draw");
  AddHistoryArgument(*predict, args.history);
  predict
      ->add_option_function<std::string>(
          "--round", [&args](const std::string& text) { args.round = text; },
          "Round number shown in the result, as typed; default: the one after the highest "
          "round in the history")
      ->type_name("TEXT");
  AddWordOption(*predict, "--filter", args.filter, kFilterKinds,
                "Filter applied before the transform: low-pass, band-pass or none");
  AddWordOption(*predict, "--frame", args.frame, kFrameModes,
                "Stretch of each filtered series that is transformed");
  AddEncodingOption(*predict, args.encoding);
  AddGameOption(*predict, args.game);
  AddFormatOption(*predict, args.format,
                  "Output: the window's text, or the rankings with their scores as one JSON object "
                  "or as CSV rows place,rank,digit,score");
  AddBetOptions(*predict, args.bet);
  predict
      ->add_option("--log", args.logPath,
                   "Append a diagnostic trace to this file (not the history)")
      ->type_name("PATH")
      ->check(CLI::Validator(
          [](const std::string& path) { return path.empty() ? "the log path is empty" : ""; }, "",
          "non-empty"));
  // The trace would be appended to the very file it describes, and every later load would fail.
  predict->final_callback([&args] {
    const std::string history =
        HistorySource::IsStandardInput(args.history) ? "/dev/stdin" : args.history;
    if (!args.logPath.empty() && SameFile(args.logPath, history)) {
      throw CLI::ValidationError("--log", "names the history file itself");
    }
    if (const std::optional<std::string> problem = ChooseBets(args.bet, args.game)) {
      throw CLI::ValidationError("--bet", *problem);
    }
  });
  return predict;
}

int RunPredict(const PredictArguments& args) {
  LogOption log(args.logPath);
  if (!log.Open()) {
    return kExitFailed;
  }

  HistorySource source(args.history);
  if (!source.Open()) {
    return kExitFailed;
  }

  PredictionInputs inputs;
  inputs.filePath = Utf8ToUtf16(source.Path());
  inputs.filter = args.filter;
  inputs.frame = args.frame;
  inputs.encoding = args.encoding;
  inputs.game = args.game;
  ConsoleView view(inputs, args.round ? std::optional(Utf8ToUtf16(*args.round)) : std::nullopt);
  const PredictionOutcome outcome = RunPredictionCommand(view, args.logPath);
  if (view.Loaded()) {
    WarnAboutLoad(source.Name(), *view.Loaded());
  }

  int status = kExitOk;
  const std::string output = ResultOutput(view, args);
  if (!view.Errors().empty() || !Predicted(outcome) || output.empty()) {
    for (const std::u16string& error : view.Errors()) {
      std::cerr << Utf16ToUtf8(error) << '\n';
    }
    ExplainFailure(outcome, args, source.Name());
    status = kExitFailed;
  } else {
    std::cout << output << std::flush;
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
