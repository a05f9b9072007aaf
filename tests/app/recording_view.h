#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "app/prediction_view.h"
#include "core/utf.h"

namespace tolvane::test {

// Records every window operation the command performs, as readable UTF-8 events, and can be
// told to throw from one of them.
class RecordingView : public PredictionView {
 public:
  PredictionInputs inputs;
  std::u16string roundText = u"1";
  std::vector<std::string> events;
  std::vector<std::string> details;  // the detail of each application box, in order
  std::optional<PredictionAnalysis> analysis;
  std::string throwOn;            // event kind ("save", "exists", ...) that throws
  std::function<void()> thrower;  // what it throws

  PredictionInputs SaveControls() override {
    Record("save", "save");
    return inputs;
  }
  void SetResultText(const std::u16string& text) override {
    Record("result", "result:" + Utf16ToUtf8(text));
  }
  void ShowMessage(const std::u16string& text, const std::u16string& caption,
                   MessageIcon icon) override {
    Record("box", "box:" + Utf16ToUtf8(text) + "|" + Utf16ToUtf8(caption) + "|" + Icon(icon));
  }
  void ShowAppMessage(const std::u16string& text, MessageIcon icon,
                      const std::u16string& detail) override {
    details.push_back(Utf16ToUtf8(detail));
    Record("app", "app:" + Utf16ToUtf8(text) + "|" + Icon(icon));
  }
  bool PathExists(const std::string& narrowPath) override {
    Record("exists", "exists:" + narrowPath);
    std::error_code error;
    return std::filesystem::exists(narrowPath, error);
  }
  void SyncRoundSpin() override { Record("spin", "spin"); }
  std::u16string RoundText() override {
    Record("round", "round");
    return roundText;
  }
  void ApplyResultFont() override { Record("font", "font"); }
  // Kept, not recorded as an event: the window operations above are what the tests follow.
  void ShowAnalysis(const PredictionAnalysis& shown) override { analysis = shown; }

  // The result area's text after the run.
  std::string ResultArea() const {
    std::string area;
    for (const std::string& event : events) {
      if (event.starts_with("result:")) {
        area = event.substr(7);
      }
    }
    return area;
  }

 private:
  static std::string Icon(MessageIcon icon) {
    return icon == MessageIcon::Error ? "error" : "none";
  }

  void Record(const std::string& kind, const std::string& event) {
    events.push_back(event);
    if (kind == throwOn && thrower) {
      thrower();
    }
  }
};

}  // namespace tolvane::test
