#include "cli/console_view.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace tolvane {

ConsoleView::ConsoleView(PredictionInputs inputs, std::u16string roundText)
    : inputs_(std::move(inputs)), roundText_(std::move(roundText)) {}

void ConsoleView::ShowMessage(const std::u16string& text, const std::u16string& /*caption*/,
                              MessageIcon icon) {
  if (icon == MessageIcon::Error) {
    errors_.push_back(text);
  }
}

void ConsoleView::ShowAppMessage(const std::u16string& text, MessageIcon icon,
                                 const std::u16string& /*detail*/) {
  if (icon == MessageIcon::Error) {
    errors_.push_back(text);
  }
}

bool ConsoleView::PathExists(const std::string& narrowPath) {
  // Files and folders both count; a path that cannot be examined counts as missing.
  std::error_code error;
  return std::filesystem::exists(std::filesystem::path(narrowPath), error);
}

}  // namespace tolvane
