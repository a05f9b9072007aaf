#include "app/prediction_command.h"

#include <exception>
#include <stdexcept>
#include <string>

#include "app/messages.h"
#include "core/cp932.h"
#include "core/leading_integer.h"
#include "core/utf.h"
#include "history/draw_history.h"
#include "predict/digit_prediction.h"
#include "predict/narrow_texts.h"
#include "spectral/spectrum_record.h"

namespace tolvane {
namespace {

struct PlaceResults {
  std::string hundreds;
  std::string tens;
  std::string ones;
};

// A refused history; what() says where and why (UTF-8).
class LoadFailure : public std::runtime_error {
 public:
  explicit LoadFailure(const std::string& detail) : std::runtime_error(detail) {}
};

PlaceResults PredictPlaces(const DrawHistory& history, const PredictionInputs& inputs,
                           const std::string& logPath) {
  // The record the predictors are invoked on; released even though they leave it empty.
  OwnedSpectrum workspace;
  PlaceResults results;
  if (inputs.filter == FilterKind::None) {
    results.hundreds = PredictPowerSpectrumDigit(workspace.get(), history.hundreds,
                                                 std::string(kPlaceHundreds), logPath);
    results.tens =
        PredictPowerSpectrumDigit(workspace.get(), history.tens, std::string(kPlaceTens), logPath);
    results.ones =
        PredictPowerSpectrumDigit(workspace.get(), history.ones, std::string(kPlaceOnes), logPath);
  } else {
    const std::int32_t frame = EngineCode(inputs.frame);
    const std::int32_t filter = EngineCode(inputs.filter);
    results.hundreds = PredictDigit(workspace.get(), history.hundreds, frame, filter,
                                    std::string(kPlaceHundreds), logPath);
    results.tens = PredictDigit(workspace.get(), history.tens, frame, filter,
                                std::string(kPlaceTens), logPath);
    results.ones = PredictDigit(workspace.get(), history.ones, frame, filter,
                                std::string(kPlaceOnes), logPath);
  }
  return results;
}

std::u16string AsciiToUtf16(const std::string& ascii) { return {ascii.begin(), ascii.end()}; }

// "予測回号: 第%d回\n\n予想数字\n\n百の位：\n%s\n\n十の位：\n%s\n\n一の位：\n%s"
std::u16string FormatResult(int round, const PlaceResults& results) {
  std::u16string text = u"予測回号: 第";
  text += AsciiToUtf16(std::to_string(round));
  text += u"回\n\n予想数字\n\n百の位：\n";
  text += Cp932ToUtf16(results.hundreds);
  text += u"\n\n十の位：\n";
  text += Cp932ToUtf16(results.tens);
  text += u"\n\n一の位：\n";
  text += Cp932ToUtf16(results.ones);
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
  if (LoadDrawHistory(outcome.path, history.hundreds, history.tens, history.ones, logPath,
                      &outcome.load) != kLoadOk) {
    outcome.stage = PredictionOutcome::Stage::kLoadFailed;
    throw LoadFailure(LoadFailureDetail(outcome.path, outcome.load));
  }

  view.SyncRoundSpin();
  const int round = RoundNumberFromText(view.RoundText());

  const PlaceResults results = PredictPlaces(history, inputs, logPath);
  view.SetResultText(FormatResult(round, results));
  view.ApplyResultFont();
  outcome.stage = PredictionOutcome::Stage::kPredicted;
  outcome.placeRanked = {results.hundreds != kPredictionError, results.tens != kPredictionError,
                         results.ones != kPredictionError};
}

}  // namespace

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
