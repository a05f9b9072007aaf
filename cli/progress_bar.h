#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

namespace tolvane::cli {

// A one-line progress bar with the share done and the time left, redrawn in place. It shows
// only once a run has taken a second, so quick runs leave no trace.
class ProgressBar {
 public:
  explicit ProgressBar(std::ostream& out) : out_(out) {}

  // `done` of `total` units after `elapsedSeconds`.
  void Update(std::uint64_t done, std::uint64_t total, double elapsedSeconds);
  // Erases the bar, if it was shown, so what follows starts on a clean line.
  void Clear();

 private:
  std::ostream& out_;
  std::size_t shownWidth_ = 0;
};

// Who else follows a long run: (done, total) from 0 to the whole, never going back; the browser
// page's module draws its own bar from it.
using ProgressObserver = std::function<void(std::uint64_t done, std::uint64_t total)>;

// The bar's text, e.g. "[#######.............]  35 %  about 4 s left".
std::string ProgressLine(std::uint64_t done, std::uint64_t total, double elapsedSeconds);

}  // namespace tolvane::cli
