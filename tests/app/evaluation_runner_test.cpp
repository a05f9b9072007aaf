#include "app/evaluation_runner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include "app/evaluation_table.h"
#include "tests/support/history_file.h"

namespace tolvane::test {
namespace {

constexpr auto kBound = std::chrono::seconds(120);

OwnedHistory Load(const std::string& path) {
  OwnedHistory history;
  DrawHistory& h = history.get();
  EXPECT_EQ(LoadDrawHistory(path, h.hundreds, h.tens, h.ones, ""), kLoadOk);
  return history;
}

// The Finished call of one run, and the thread it came on.
struct Outcome {
  std::promise<std::shared_ptr<Evaluation>> evaluation;
  std::thread::id thread;
};

EvaluationRunner::Finished Into(Outcome& outcome) {
  return [&outcome](std::shared_ptr<Evaluation> evaluation) {
    outcome.thread = std::this_thread::get_id();
    outcome.evaluation.set_value(std::move(evaluation));
  };
}

// A run stopped while it goes reports itself cancelled; the runner then starts again and
// finishes with the library's own results, each run's calls made on its worker thread.
TEST(EvaluationRunner, CancelsThenRestartsAndFinishes) {
  const TempDir dir;
  const std::string path = WriteHistoryFile(dir, RandomDrawLines(600, 4));
  EvaluationRunner runner;
  EXPECT_FALSE(runner.IsRunning());

  // The first progress report holds the worker until the stop has been asked for, so the run
  // cannot have finished first.
  std::promise<void> reported;
  std::promise<void> asked;
  std::shared_future<void> release = asked.get_future().share();
  bool first = true;
  Outcome stopped;
  ASSERT_TRUE(runner.Start(
      Load(path), EvaluationRequest{},
      [&](std::uint64_t, std::uint64_t) {
        if (std::exchange(first, false)) {
          reported.set_value();
          release.wait();
        }
      },
      Into(stopped)));
  EXPECT_TRUE(runner.IsRunning());
  ASSERT_EQ(reported.get_future().wait_for(kBound), std::future_status::ready);
  runner.RequestCancel();
  asked.set_value();
  runner.Cancel();
  EXPECT_FALSE(runner.IsRunning());
  auto cancelled = stopped.evaluation.get_future();
  ASSERT_EQ(cancelled.wait_for(std::chrono::seconds(0)), std::future_status::ready);
  const std::shared_ptr<Evaluation> none = cancelled.get();
  ASSERT_NE(none, nullptr);
  EXPECT_EQ(none->status, EvaluationStatus::Cancelled);
  EXPECT_NE(stopped.thread, std::this_thread::get_id());

  EvaluationRequest request;
  request.runs = {{FilterKind::BandPass, FrameMode::Center}};
  request.last = 100;
  std::uint64_t lastDone = 0;
  std::uint64_t lastTotal = 1;
  Outcome finished;
  ASSERT_TRUE(runner.Start(
      Load(path), request,
      [&](std::uint64_t done, std::uint64_t total) {
        lastDone = done;
        lastTotal = total;
      },
      Into(finished)));
  auto result = finished.evaluation.get_future();
  ASSERT_EQ(result.wait_for(kBound), std::future_status::ready);
  runner.Join();
  EXPECT_FALSE(runner.IsRunning());
  const std::shared_ptr<Evaluation> evaluation = result.get();
  ASSERT_NE(evaluation, nullptr);
  ASSERT_EQ(evaluation->status, EvaluationStatus::Ok);
  EXPECT_EQ(lastDone, lastTotal);
  EXPECT_NE(finished.thread, std::this_thread::get_id());
  const OwnedHistory history = Load(path);
  EXPECT_EQ(EvaluationCsv(EvaluationRows(*evaluation)),
            EvaluationCsv(EvaluationRows(Evaluate(history.get(), request))));

  // Nothing left to stop: the destructor and a second Cancel have nothing to wait for.
  runner.Cancel();
  EXPECT_FALSE(runner.IsRunning());
}

}  // namespace
}  // namespace tolvane::test
