#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace tolvane {

// Reports (done, total) through the caller's callback, from the thread that owns it, at most
// about 20 times a second.
class ProgressReporter {
 public:
  ProgressReporter(std::function<void(std::uint64_t, std::uint64_t)> callback, std::uint64_t total);

  // Reports when enough time has passed since the last report (or force is set).
  void Report(std::uint64_t done, bool force = false);

 private:
  std::function<void(std::uint64_t, std::uint64_t)> callback_;
  std::uint64_t total_;
  std::chrono::steady_clock::time_point last_{};
  bool reported_ = false;
};

// Runs task(0, worker) .. task(count - 1, worker) on `threads` threads, the calling thread
// among them; tasks must be independent. worker (below `threads`) tells the threads apart: the
// calling thread is 0, and no two threads run with the same worker at the same time. No new task
// starts once cancel reads true or a task has thrown; the first exception is rethrown on the
// calling thread after every thread has stopped. Progress goes through `progress` (done counted
// from `doneBefore`) on the calling thread only. Returns false when cancelled.
bool RunTasks(std::size_t count, unsigned threads, const std::atomic<bool>* cancel,
              ProgressReporter& progress, std::uint64_t doneBefore,
              const std::function<void(std::size_t, std::size_t)>& task);

}  // namespace tolvane
