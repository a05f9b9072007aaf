#include "evaluate/task_pool.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace tolvane {
namespace {

constexpr std::chrono::milliseconds kReportInterval{50};

bool IsSet(const std::atomic<bool>* flag) {
  return flag != nullptr && flag->load(std::memory_order_relaxed);
}

// What the threads of one RunTasks share.
class SharedQueue {
 public:
  SharedQueue(std::size_t count, const std::atomic<bool>* cancel,
              const std::function<void(std::size_t, std::size_t)>& task)
      : count_(count), cancel_(cancel), task_(task) {}

  // Runs tasks until none is left or the run stops; afterEach is called after every task.
  template <typename After>
  void Work(std::size_t worker, After afterEach) {
    while (!IsSet(cancel_) && !failed_.load(std::memory_order_relaxed)) {
      const std::size_t index = next_.fetch_add(1, std::memory_order_relaxed);
      if (index >= count_) {
        return;
      }
      try {
        task_(index, worker);
        done_.fetch_add(1, std::memory_order_relaxed);
        afterEach();
      } catch (...) {
        const std::lock_guard lock(mutex_);
        if (!error_) {
          error_ = std::current_exception();
        }
        failed_.store(true, std::memory_order_relaxed);
        return;
      }
    }
  }

  std::uint64_t done() const { return done_.load(std::memory_order_relaxed); }
  std::exception_ptr error() const { return error_; }

 private:
  std::size_t count_;
  const std::atomic<bool>* cancel_;
  const std::function<void(std::size_t, std::size_t)>& task_;
  std::atomic<std::size_t> next_{0};
  std::atomic<std::uint64_t> done_{0};
  std::atomic<bool> failed_{false};
  std::mutex mutex_;
  std::exception_ptr error_;
};

}  // namespace

ProgressReporter::ProgressReporter(std::function<void(std::uint64_t, std::uint64_t)> callback,
                                   std::uint64_t total)
    : callback_(std::move(callback)), total_(total) {}

void ProgressReporter::Report(std::uint64_t done, bool force) {
  if (!callback_) {
    return;
  }
  const auto now = std::chrono::steady_clock::now();
  if (!force && reported_ && now - last_ < kReportInterval) {
    return;
  }
  reported_ = true;
  last_ = now;
  callback_(done, total_);
}

bool RunTasks(std::size_t count, unsigned threads, const std::atomic<bool>* cancel,
              ProgressReporter& progress, std::uint64_t doneBefore,
              const std::function<void(std::size_t, std::size_t)>& task) {
  SharedQueue queue(count, cancel, task);
  std::vector<std::thread> workers;
  const std::size_t helpers = threads > 1 ? std::min<std::size_t>(threads - 1, count) : 0;
  for (std::size_t worker = 1; worker <= helpers; ++worker) {
    try {
      workers.emplace_back([&queue, worker] { queue.Work(worker, [] {}); });
    } catch (...) {
      break;  // fewer threads than asked for: the work is shared out all the same
    }
  }
  queue.Work(0, [&] { progress.Report(doneBefore + queue.done()); });
  for (std::thread& worker : workers) {
    worker.join();
  }
  if (queue.error()) {
    std::rethrow_exception(queue.error());
  }
  return !IsSet(cancel);
}

}  // namespace tolvane
