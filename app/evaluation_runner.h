#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "evaluate/evaluation.h"
#include "history/draw_history.h"

namespace tolvane {

// One evaluation at a time on a worker thread of its own, so a front end stays responsive while
// it runs. The callbacks are called on the worker thread and must not throw; a front end with an
// event loop hands them over to its own thread. The engine serves one caller at a time, so while a
// run goes its owner must make no other engine call.
class EvaluationRunner {
 public:
  // (done, total) work units, as EvaluationRequest::progress reports them.
  using Progress = std::function<void(std::uint64_t done, std::uint64_t total)>;
  // The evaluation, cancelled ones included; null when it could not be made (out of memory).
  // The last call a run makes.
  using Finished = std::function<void(std::shared_ptr<Evaluation> evaluation)>;

  EvaluationRunner() = default;
  // Stops a run that still goes and waits for it.
  ~EvaluationRunner();
  EvaluationRunner(const EvaluationRunner&) = delete;
  EvaluationRunner& operator=(const EvaluationRunner&) = delete;

  // Stops any earlier run, then evaluates `history`, which the runner keeps until the next
  // start, with `request` (its cancel and progress are the runner's). False when no thread could
  // be made: then nothing runs and no callback comes.
  bool Start(OwnedHistory history, EvaluationRequest request, Progress progress, Finished finished);

  // Asks the run to stop and returns at once: it ends within milliseconds, and Finished reports
  // it as cancelled unless it had already finished.
  void RequestCancel() { cancel_ = true; }
  // Stops the run and waits for its worker, which takes milliseconds; Finished may have been
  // called before it returns. Does nothing when no worker is left.
  void Cancel();

  // Waits for a run that has called Finished to return, without stopping one that has not.
  void Join();

  // From Start until Cancel or Join: a worker has been started and not yet waited for.
  bool IsRunning() const { return worker_.joinable(); }

  // The history of the last start, for Finished to replay more on the worker (it is only read).
  const DrawHistory& History() const { return history_.get(); }

 private:
  OwnedHistory history_;  // read by the worker; replaced only when none runs
  std::atomic<bool> cancel_{false};
  std::thread worker_;
};

}  // namespace tolvane
