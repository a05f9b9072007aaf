#include "app/evaluation_runner.h"

#include <system_error>
#include <utility>

namespace tolvane {

EvaluationRunner::~EvaluationRunner() { Cancel(); }

bool EvaluationRunner::Start(OwnedHistory history, EvaluationRequest request, Progress progress,
                             Finished finished) {
  Cancel();
  history_ = std::move(history);
  cancel_ = false;
  request.cancel = &cancel_;
  request.progress = std::move(progress);
  const DrawHistory* draws = &history_.get();
  try {
    worker_ = std::thread(
        [request = std::move(request), finished = std::move(finished), draws]() mutable {
          std::shared_ptr<Evaluation> evaluation;
          try {
            evaluation = std::make_shared<Evaluation>(Evaluate(*draws, request));
          } catch (...) {
            evaluation.reset();  // out of memory: reported as no result
          }
          finished(std::move(evaluation));
        });
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

void EvaluationRunner::Cancel() {
  if (worker_.joinable()) {
    RequestCancel();
    worker_.join();
  }
}

void EvaluationRunner::Join() {
  if (worker_.joinable()) {
    worker_.join();
  }
}

}  // namespace tolvane
