#include "app/prediction_command.h"

#include <exception>
#include <stdexcept>
#include <string>

#include "history/cp932.h"
#include "history/draw_history.h"
#include "predict/digit_prediction.h"
#include "predict/narrow_texts.h"
#include "spectral/fir_filter.h"
#include "spectral/spectrum_record.h"

namespace tolvane {
namespace {

constexpr char16_t kStartText[] = u"NUMBERS3 予想開始します";
constexpr char16_t kErrorCaption[] = u"エラー";
constexpr char16_t kEmptyPathText[] = u"ファイルパスが入力されていません。";
constexpr char16_t kMissingPathText[] = u"有効なファイルパスを入力してください。";
constexpr char16_t kErrorPrefix[] = u"エラーが発生しました: ";
constexpr char16_t kUnknownErrorText[] = u"不明なエラーが発生しました。";

// The run's three series, released on every way out of the run.
struct LoadedHistory {
  DrawHistory history{};
  LoadedHistory() = default;
  ~LoadedHistory() { ReleaseDrawHistory(history); }
  LoadedHistory(const LoadedHistory&) = delete;
  LoadedHistory& operator=(const LoadedHistory&) = delete;
};

// The record the predictors are invoked on; it is released even though they leave it empty.
struct Workspace {
  SpectrumRecord record{};
  Workspace() = default;
  ~Workspace() { ReleaseSpectrumRecord(record); }
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;
};

struct PlaceResults {
  std::string hundreds;
  std::string tens;
  std::string ones;
};

PlaceResults PredictPlaces(const DrawHistory& history, const PredictionInputs& inputs,
                           const std::string& logPath) {
  Workspace workspace;
  PlaceResults results;
  if (inputs.filterKind == kFilterNone) {
    results.hundreds = PredictPowerSpectrumDigit(workspace.record, history.hundreds,
                                                 std::string(kPlaceHundreds), logPath);
    results.tens =
        PredictPowerSpectrumDigit(workspace.record, history.tens, std::string(kPlaceTens), logPath);
    results.ones =
        PredictPowerSpectrumDigit(workspace.record, history.ones, std::string(kPlaceOnes), logPath);
  } else {
    results.hundreds = PredictDigit(workspace.record, history.hundreds, inputs.frameMode,
                                    inputs.filterKind, std::string(kPlaceHundreds), logPath);
    results.tens = PredictDigit(workspace.record, history.tens, inputs.frameMode, inputs.filterKind,
                                std::string(kPlaceTens), logPath);
    results.ones = PredictDigit(workspace.record, history.ones, inputs.frameMode, inputs.filterKind,
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
    view.SetResultText(u"");
    view.ShowAppMessage(text, MessageIcon::Error);
  } catch (...) {  // NOLINT(bugprone-empty-catch)
  }
}

void Run(PredictionView& view, const std::string& logPath) {
  const PredictionInputs inputs = view.SaveControls();
  view.SetResultText(u"");
  view.ShowMessage(kStartText, u"", MessageIcon::None);

  if (inputs.filePath.empty()) {
    view.ShowMessage(kEmptyPathText, kErrorCaption, MessageIcon::Error);
    return;
  }
  // Linux paths are bytes; the window's text is handed over as UTF-8.
  const std::string narrowPath = Utf16ToUtf8(inputs.filePath);
  if (!view.PathExists(narrowPath)) {
    view.ShowMessage(kMissingPathText, kErrorCaption, MessageIcon::Error);
    return;
  }

  LoadedHistory loaded;
  if (LoadDrawHistory(narrowPath, loaded.history.hundreds, loaded.history.tens, loaded.history.ones,
                      logPath) != kLoadOk) {
    throw std::runtime_error(std::string(kLoadFailedText));
  }

  view.SyncRoundSpin();
  const int round = WideToInt(view.RoundText());

  const PlaceResults results = PredictPlaces(loaded.history, inputs, logPath);
  view.SetResultText(FormatResult(round, results));
  view.ApplyResultFont();
}

}  // namespace

void RunPredictionCommand(PredictionView& view, const std::string& logPath) {
  try {
    Run(view, logPath);
  } catch (const std::exception& error) {
    ReportFailure(view, &error);
  } catch (...) {
    ReportFailure(view, nullptr);
  }
}

}  // namespace tolvane
