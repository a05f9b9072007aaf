#pragma once

#include <string>

#include "app/prediction_analysis.h"
#include "core/game.h"
#include "core/text_decoder.h"
#include "history/load_report.h"
#include "history/utf8_hint.h"
#include "predict/prediction_options.h"

namespace tolvane {

enum class MessageIcon { None, Error };

// What the prediction command reads from the main window when it saves the controls.
struct PredictionInputs {
  std::u16string filePath;  // empty: no file named
  FilterKind filter = FilterKind::LowPass;
  FrameMode frame = FrameMode::Head;  // plays no part without a filter
  bool keepSpectra = false;           // the analysis handed to ShowAnalysis holds the spectra
  TextEncoding encoding = TextEncoding::kCp932;  // of the history file
  Game game = Game::kNumbers3;                   // how many places a winning number has
};

// The window operations the prediction command uses. The desktop dialog implements them with
// Qt, the command line with the console, the tests with a recorder.
class PredictionView {
 public:
  virtual ~PredictionView() = default;

  // Saves the controls into the window's members and returns them.
  virtual PredictionInputs SaveControls() = 0;
  // Replaces the whole result text; empty clears it.
  virtual void SetResultText(const std::u16string& text) = 0;
  // Modal box owned by the window; an empty caption shows the application name.
  virtual void ShowMessage(const std::u16string& text, const std::u16string& caption,
                           MessageIcon icon) = 0;
  // Modal box captioned with the application name; `detail`, when not empty, is more for those
  // who ask (a failed load's file, line and reason).
  virtual void ShowAppMessage(const std::u16string& text, MessageIcon icon,
                              const std::u16string& detail) = 0;
  // True when a file or a folder exists at the path (UTF-8).
  virtual bool PathExists(const std::string& narrowPath) = 0;
  // After a successful load, before the round is read: what the loader read (draws, rounds and
  // the first line out of order) from the file at `narrowPath`. Views that make nothing of it
  // keep this default.
  virtual void HistoryLoaded(const std::string& narrowPath, const LoadReport& report) {
    static_cast<void>(narrowPath);
    static_cast<void>(report);
  }
  // After a failed load, before the failure is shown: adds to `report` what might read the file
  // at `narrowPath` instead. This default is the command line's UTF-8 hint.
  virtual void AddLoadHint(const std::string& narrowPath, const LoadOptions& options,
                           LoadReport& report) {
    AddUtf8Hint(narrowPath, options, report);
  }
  // Lets the round spin take up the number now typed in its edit.
  virtual void SyncRoundSpin() = 0;
  // The round edit's whole current text.
  virtual std::u16string RoundText() = 0;
  // Gives the result area a font of height 24 derived from its current font.
  virtual void ApplyResultFont() = 0;
  // After a result is shown: what it rests on (rankings, scores, spectra when asked for).
  virtual void ShowAnalysis(const PredictionAnalysis& analysis) = 0;
};

}  // namespace tolvane
