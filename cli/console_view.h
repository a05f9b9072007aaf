#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/prediction_view.h"

namespace tolvane {

// The main window's operations for a terminal: the controls are fixed when the view is made, the
// result area and the error boxes are collected for the caller to print, the informational box is
// dropped, and the spin and the font have nothing to do.
class ConsoleView final : public PredictionView {
 public:
  // Without a round text the round is the one after the highest the history holds.
  ConsoleView(PredictionInputs inputs, std::optional<std::u16string> roundText);

  PredictionInputs SaveControls() override { return inputs_; }
  void SetResultText(const std::u16string& text) override { resultText_ = text; }
  void ShowMessage(const std::u16string& text, const std::u16string& caption,
                   MessageIcon icon) override;
  // The detail is left to the caller, who prints it from the command's outcome.
  void ShowAppMessage(const std::u16string& text, MessageIcon icon,
                      const std::u16string& detail) override;
  bool PathExists(const std::string& narrowPath) override;
  void HistoryLoaded(const std::string& narrowPath, const LoadReport& report) override;
  void SyncRoundSpin() override {}
  std::u16string RoundText() override;
  void ApplyResultFont() override {}
  void ShowAnalysis(const PredictionAnalysis& analysis) override { analysis_ = analysis; }

  const std::u16string& ResultText() const { return resultText_; }
  // What the last result rests on; nullopt until a prediction was shown.
  const std::optional<PredictionAnalysis>& Analysis() const { return analysis_; }
  // Texts of the error boxes, in the order shown.
  const std::vector<std::u16string>& Errors() const { return errors_; }
  // What the loader read; nullopt unless the history loaded.
  const std::optional<LoadReport>& Loaded() const { return loaded_; }

 private:
  PredictionInputs inputs_;
  std::optional<std::u16string> roundText_;
  std::optional<LoadReport> loaded_;
  std::u16string resultText_;
  std::vector<std::u16string> errors_;
  std::optional<PredictionAnalysis> analysis_;
};

}  // namespace tolvane
