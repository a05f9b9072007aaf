#include "app/prediction_command.h"

#include <exception>
#include <stdexcept>
#include <string>

#include "app/messages.h"
#include "core/cp932.h"
#include "core/leading_integer.h"
#include "core/quoted_text.h"
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

// Ranks every place of the game with the filter and frame chosen, each with its own label in
// the log.
std::vector<DigitRanking> RankPlaces(const DrawHistory& history, const PredictionInputs& inputs,
                                     const std::string& logPath) {
  const std::array<const WAData*, kMaxPlaces> series = PlaceSeries(history);
  const std::array<std::string_view, kMaxPlaces> labels = {kPlaceThousands, kPlaceHundreds,
                                                           kPlaceTens, kPlaceOnes};
  const int count = PlaceCount(history.game);
  std::vector<DigitRanking> places;
  for (int place = 0; place < count; ++place) {
    const int label = kMaxPlaces - count + place;
    places.push_back(RankPlace(
        *series[static_cast<std::size_t>(place)], inputs.filter, inputs.frame,
        {inputs.keepSpectra, std::string(labels[static_cast<std::size_t>(label)]), logPath}));
  }
  return places;
}

std::u16string AsciiToUtf16(const std::string& ascii) { return {ascii.begin(), ascii.end()}; }

// "予測回号: 第%d回\n\n予想数字\n\n百の位：\n%s\n\n十の位：\n%s\n\n一の位：\n%s", with a
// "千の位：" block first for Numbers 4.
std::u16string FormatResult(int round, Game game, const std::vector<DigitRanking>& places) {
  std::u16string text = u"予測回号: 第";
  text += AsciiToUtf16(std::to_string(round));
  text += u"回\n\n予想数字";
  for (std::size_t place = 0; place < places.size(); ++place) {
    text += u"\n\n";
    text += Utf8ToUtf16(PlaceLabel(game, static_cast<int>(place)));
    text += u"：\n";
    text += Cp932ToUtf16(PredictionText(places[place]));
  }
  return text;
}

// Reports a failed run: a refused history with its detail, any other exception's text (narrow
// code page 932, like every text of the analysis side) or, for anything that is no standard
// exception, the unknown-error text. The area
// is cleared again so no result outlives a failed run. A view that cannot even show the failure
// leaves nothing more to do, and the command must not throw.
void ReportFailure(PredictionView& view, const std::exception* error, Game game) noexcept {
  try {
    const auto* load = dynamic_cast<const LoadFailure*>(error);
    const std::u16string text = load != nullptr
                                    ? kErrorPrefix + std::u16string(LoadFailedText(game))
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
  outcome.game = inputs.game;
  view.SetResultText(u"");
  view.ShowMessage(StartText(inputs.game), u"", MessageIcon::None);

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

  // The run's series, released on every way out of the run.
  OwnedHistory loaded;
  DrawHistory& history = loaded.get();
  const LoadOptions options{inputs.encoding, inputs.game};
  if (LoadDrawHistory(outcome.path, history, logPath, &outcome.load, options) != kLoadOk) {
    outcome.stage = PredictionOutcome::Stage::kLoadFailed;
    view.AddLoadHint(outcome.path, options, outcome.load);
    throw LoadFailure(LoadFailureDetail(outcome.path, outcome.load));
  }
  view.HistoryLoaded(outcome.path, outcome.load);

  view.SyncRoundSpin();
  const int round = RoundNumberFromText(view.RoundText());

  PredictionAnalysis analysis;
  analysis.game = inputs.game;
  analysis.places = RankPlaces(history, inputs, logPath);
  view.SetResultText(FormatResult(round, inputs.game, analysis.places));
  view.ApplyResultFont();
  outcome.stage = PredictionOutcome::Stage::kPredicted;
  for (const DigitRanking& place : analysis.places) {
    outcome.placeRanked.push_back(place.ok);
  }
  analysis.round = round;
  analysis.draws = outcome.load.draws;
  analysis.cycles = DrawCount(history) / kCycleLength;
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

std::string LongNumberWarningDetail(const std::string& path, const LoadReport& report) {
  if (report.draws != 0 && report.threeDigitNumbers == report.draws) {
    return path +
           ": every winning number has three digits; this looks like a Numbers 3 history: try "
           "--game numbers3";
  }
  if (report.firstLongNumberLine == 0) {
    return {};
  }
  if (report.fourDigitNumbers == report.draws) {
    return path +
           ": every winning number has four digits; this looks like a Numbers 4 history: try "
           "--game numbers4";
  }
  return path + ":" + std::to_string(report.firstLongNumberLine) + ": winning number " +
         QuotedText(Utf8ToUtf16(report.firstLongNumber)) +
         " is longer than three digits; its first three are used";
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
    ReportFailure(view, &error, outcome.game);
  } catch (...) {
    outcome.stage = PredictionOutcome::Stage::kFailed;
    ReportFailure(view, nullptr, outcome.game);
  }
  return outcome;
}

}  // namespace tolvane
