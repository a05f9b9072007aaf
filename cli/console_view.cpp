#include "cli/console_view.h"

#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <system_error>
#include <utility>

namespace tolvane {

ConsoleView::ConsoleView(PredictionInputs inputs, std::optional<std::u16string> roundText)
    : inputs_(std::move(inputs)), roundText_(std::move(roundText)) {}

void ConsoleView::HistoryLoaded(const std::string& /*narrowPath*/, const LoadReport& report) {
  loaded_ = report;
}

std::u16string ConsoleView::RoundText() {
  if (roundText_) {
    return *roundText_;
  }
  // The next round: one after the highest read (1 for a history without draws), never past the
  // largest round a history can hold.
  const std::int32_t highest = loaded_ && loaded_->draws > 0 ? loaded_->highestRound : 0;
  const std::int32_t next =
      highest == std::numeric_limits<std::int32_t>::max() ? highest : highest + 1;
  const std::string text = std::to_string(next);
  return {text.begin(), text.end()};
}

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
