#include "cli/progress_bar.h"

#include <algorithm>
#include <cmath>

namespace tolvane::cli {
namespace {

constexpr double kQuietSeconds = 1.0;
constexpr std::uint64_t kBarCells = 30;

}  // namespace

std::string ProgressLine(std::uint64_t done, std::uint64_t total, double elapsedSeconds) {
  const double share =
      total == 0 ? 1.0 : static_cast<double>(std::min(done, total)) / static_cast<double>(total);
  const auto filled = static_cast<std::uint64_t>(share * kBarCells);
  std::string line = "[" + std::string(filled, '#') + std::string(kBarCells - filled, '.') + "] ";
  const auto percent = static_cast<int>(share * 100.0);
  line += (percent < 10 ? "  " : percent < 100 ? " " : "") + std::to_string(percent) + " %  ";
  if (share <= 0.0) {
    return line + "estimating the time left";
  }
  // The rate so far, carried to the end.
  const double left = std::ceil(elapsedSeconds * (1.0 - share) / share);
  return line + "about " + std::to_string(static_cast<long long>(left)) + " s left";
}

void ProgressBar::Update(std::uint64_t done, std::uint64_t total, double elapsedSeconds) {
  if (elapsedSeconds < kQuietSeconds) {
    return;
  }
  const std::string line = ProgressLine(done, total, elapsedSeconds);
  // Padded over the previous line, which may have been longer.
  const std::size_t pad = shownWidth_ > line.size() ? shownWidth_ - line.size() : 0;
  out_ << '\r' + line + std::string(pad, ' ') << std::flush;
  shownWidth_ = std::max(shownWidth_, line.size());
}

void ProgressBar::Clear() {
  if (shownWidth_ == 0) {
    return;
  }
  out_ << '\r' + std::string(shownWidth_, ' ') + '\r' << std::flush;
  shownWidth_ = 0;
}

}  // namespace tolvane::cli
