#include "app/prediction_command.h"

#include <exception>
#include <stdexcept>
#include <string>

#include "core/cp932.h"
#include "core/leading_integer.h"
#include "core/utf.h"
#include "history/draw_history.h"
#include "predict/digit_prediction.h"
#include "predict/narrow_texts.h"
#include "spectral/spectrum_record.h"

namespace tolvane {
namespace {

constexpr char16_t kStartText[] = u"NUMBERS3 予想開始します";
constexpr char16_t kErrorCaption[] = u"エラー";
constexpr char16_t kEmptyPathText[] = u"ファイルパスが入力されていません。";
constexpr char16_t kMissingPathText[] = u"有効なファイルパスを入力してください。";
constexpr char16_t kErrorPrefix[] = u"エラーが発生しました: ";
constexpr char16_t kUnknownErrorText[] = u"不明なエラーが発生しました。";

// "ナンバーズ3データの読み込みに失敗しました。" in code page 932, like every exception text the
// failure report decodes.
constexpr std::string_view kLoadFailedText =
    "\x83\x69\x83\x93\x83\x6f\x81\x5b\x83\x59\x33\x83\x66\x81\x5b\x83\x5e\x82\xcc\x93\xc7\x82\xdd"
    "\x8d\x9e\x82\xdd\x82\xc9\x8e\xb8\x94\x73\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42";

struct PlaceResults {
  std::string hundreds;
  std::string tens;
  std::string ones;
};

// A refused history: what() is the message box's text (code page 932, as the failure report
// expects of every exception text), detail() where and why.
class LoadFailure : public std::runtime_error {
 public:
  explicit LoadFailure(std::string detail)
      : std::runtime_error(std::string(kLoadFailedText)), detail_(std::move(detail)) {}
  const std::string& detail() const { return detail_; }

 private:
  std::string detail_;
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

// Reports a failed run: the exception's text (narrow code page 932, like every text of the
// analysis side) or, for anything that is no standard exception, the unknown-error text. The area
// is cleared again so no result outlives a failed run. A view that cannot even show the failure
// leaves nothing more to do, and the command must not throw.
void ReportFailure(PredictionView& view, const std::exception* error) noexcept {
  try {
    const std::u16string text = error != nullptr ? kErrorPrefix + Cp932ToUtf16(error->what())
                                                 : std::u16string(kUnknownErrorText);
    const auto* load = dynamic_cast<const LoadFailure*>(error);
    view.SetResultText(u"");
    view.ShowAppMessage(text, MessageIcon::Error,
                        load != nullptr ? Utf8ToUtf16(load->detail()) : std::u16string());
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
