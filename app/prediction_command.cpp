#include "app/prediction_command.h"

#include <exception>
#include <stdexcept>
#include <string>

#include "app/messages.h"
#include "core/cp932.h"
#include "core/leading_integer.h"
#include "core/utf.h"
#include "history/draw_history.h"
#include "predict/cycle_counts.h"
#include "predict/digit_prediction.h"
#include "predict/narrow_texts.h"
#include "predict/place_ranking.h"

namespace tolvane {
namespace {

// A refused history; what() says where and why (UTF-8).
class LoadFailure : public std::runtime_error {
 public:
  explicit LoadFailure(const std::string& detail) : std::runtime_error(detail) {}
};

// Ranks the three places with the filter and frame chosen, each with its own label in the log.
std::array<DigitRanking, 3> RankPlaces(const DrawHistory& history, const PredictionInputs& inputs,
                                       const std::string& logPath) {
  const std::array<const WAData*, 3> series = {&history.hundreds, &history.tens, &history.ones};
  const std::array<std::string_view, 3> labels = {kPlaceHundreds, kPlaceTens, kPlaceOnes};
  std::array<DigitRanking, 3> places;
  for (std::size_t place = 0; place < places.size(); ++place) {
    places[place] = RankPlace(*series[place], inputs.filter, inputs.frame,
                              {inputs.keepSpectra, std::string(labels[place]), logPath});
  }
  return places;
}

std::u16string AsciiToUtf16(const std::string& ascii) { return {ascii.begin(), ascii.end()}; }

// "予測回号: 第%d回\n\n予想数字\n\n百の位：\n%s\n\n十の位：\n%s\n\n一の位：\n%s"
std::u16string FormatResult(int round, const std::array<DigitRanking, 3>& places) {
  std::u16string text = u"予測回号: 第";
  text += AsciiToUtf16(std::to_string(round));
  text += u"回\n\n予想数字\n\n百の位：\n";
  text += Cp932ToUtf16(PredictionText(places[0]));
  text += u"\n\n十の位：\n";
  text += Cp932ToUtf16(PredictionText(places[1]));
  text += u"\n\n一の位：\n";
  text += Cp932ToUtf16(PredictionText(places[2]));
  return text;
}

// Reports a failed run: a refused history with its detail, any other exception's text (narrow
// code page 932, like every text of the analysis side) or, for anything that is no standard
// exception, the unknown-error text. The area
// is cleared again so no result outlives a failed run. A view that cannot even show the failure
// leaves nothing more to do, and the command must not throw.
void ReportFailure(PredictionView& view, const std::exception* error) noexcept {
  try {
    const auto* load = dynamic_cast<const LoadFailure*>(error);
    const std::u16string text = load != nullptr    ? kErrorPrefix + std::u16string(kLoadFailedText)
                                : error != nullptr ? kErrorPrefix + Cp932ToUtf16(error->what())
                                                   : std::u16string(kUnknownErrorText);
    view.SetResultText(u"");
    view.ShowAppMessage(text, MessageIcon::Error,
                        load != nullptr ? Utf8ToUtf16(load->what()) : std::u16string());
  } catch (...) {  // NOLINT(bugprone-empty-catch)
  }
}

void Run(PredictionView& view, const std::string& logPath, PredictionOutcome& outcome) {
  const PredictionInputs inputs = view.SaveControls();
  view.SetResultText(u"");
  view.ShowMessage(kStartText, u"", MessageIcon::None);

  if (inputs.filePath.empty()) {
    outcome.stage = PredictionOutcome::Stage::kNoPath;
    view.ShowMessage(kEmptyPathText, kErrorCaption, MessageIcon::Error);
    return;
  }
  // Linux paths are bytes; the window's text is handed over as UTF-8.
  outcome.path = Utf16ToUtf8(inputs.filePath);
  if (!view.PathExists(outcome.path)) {
    outcome.stage = PredictionOutcome::Stage::kMissingPath;
    view.ShowMessage(kMissingPathText, kErrorCaption, MessageIcon::Error);
    return;
  }

  // The run's three series, released on every way out of the run.
  OwnedHistory loaded;
  DrawHistory& history = loaded.get();
  const LoadOptions options{inputs.encoding};
  if (LoadDrawHistory(outcome.path, history.hundreds, history.tens, history.ones, logPath,
                      &outcome.load, options) != kLoadOk) {
    outcome.stage = PredictionOutcome::Stage::kLoadFailed;
    view.AddLoadHint(outcome.path, options, outcome.load);
    throw LoadFailure(LoadFailureDetail(outcome.path, outcome.load));
  }
  view.HistoryLoaded(outcome.path, outcome.load);

  view.SyncRoundSpin();
  const int round = RoundNumberFromText(view.RoundText());

  PredictionAnalysis analysis;
  analysis.places = RankPlaces(history, inputs, logPath);
  view.SetResultText(FormatResult(round, analysis.places));
  view.ApplyResultFont();
  outcome.stage = PredictionOutcome::Stage::kPredicted;
  outcome.placeRanked = {analysis.places[0].ok, analysis.places[1].ok, analysis.places[2].ok};
  analysis.round = round;
  analysis.draws = outcome.load.draws;
  analysis.cycles = history.hundreds.size / kCycleLength;
  analysis.filter = inputs.filter;
  analysis.frame = inputs.frame;
  analysis.transformedCycles = TransformedCycles(analysis.cycles, inputs.filter, inputs.frame);
  view.ShowAnalysis(analysis);
}

}  // namespace

std::string OrderWarningDetail(const std::string& path, const LoadReport& report) {
  if (report.firstOutOfOrderLine == 0) {
    return {};
  }
  return path + ":" + std::to_string(report.firstOutOfOrderLine) +
         ": the rounds stop going up at this line; the draws are analysed in file order, oldest "
         "first expected";
}

int RoundNumberFromText(const std::u16string& text) {
  return ReadLeadingInteger(text, OnOverflow::kSaturate).value;
}

std::string LoadFailureDetail(const std::string& path, const LoadReport& report) {
  const std::string where = report.line == 0 ? path : path + ":" + std::to_string(report.line);
  return where + ": " + report.reason;
}

PredictionOutcome RunPredictionCommand(PredictionView& view, const std::string& logPath) {
  PredictionOutcome outcome;
  try {
    Run(view, logPath, outcome);
  } catch (const std::exception& error) {
    ReportFailure(view, &error);
  } catch (...) {
    outcome.stage = PredictionOutcome::Stage::kFailed;
    ReportFailure(view, nullptr);
  }
  return outcome;
}

}  // namespace tolvane
