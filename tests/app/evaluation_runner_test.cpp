#include "app/evaluation_runner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>

#include "app/evaluation_table.h"
#include "tests/support/history_file.h"

namespace tolvane::test {
namespace {

OwnedHistory Load(const std::string& path) {
  OwnedHistory history;
  DrawHistory& h = history.get();
  EXPECT_EQ(LoadDrawHistory(path, h.hundreds, h.tens, h.ones, ""), kLoadOk);
  return history;
}

// A run stopped while it goes reports itself cancelled; the runner then starts again and
// finishes with the library's own results.
TEST(EvaluationRunner, CancelsThenRestartsAndFinishes) {
  const TempDir dir;
  const std::string path = WriteHistoryFile(dir, RandomDrawLines(600, 4));
  EvaluationRunner runner;
  std::promise<std::shared_ptr<Evaluation>> stopped;
  std::promise<std::shared_ptr<Evaluation>> finished;
  const auto into = [](auto& outcome) {
    return [&outcome](std::shared_ptr<Evaluation> result) { outcome.set_value(std::move(result)); };
  };
  // Stopped from its first progress report, so the run cannot have finished first.
  ASSERT_TRUE(runner.Start(
      Load(path), EvaluationRequest{},
      [&runner](std::uint64_t, std::uint64_t) { runner.RequestCancel(); }, into(stopped)));
  auto cancelled = stopped.get_future();
  ASSERT_EQ(cancelled.wait_for(std::chrono::seconds(120)), std::future_status::ready);
  runner.Cancel();
  EXPECT_FALSE(runner.IsRunning());
  const std::shared_ptr<Evaluation> none = cancelled.get();
  ASSERT_NE(none, nullptr);
  EXPECT_EQ(none->status, EvaluationStatus::Cancelled);
  EvaluationRequest request;
  request.runs = {{FilterKind::BandPass, FrameMode::Center}};
  request.last = 100;
  ASSERT_TRUE(runner.Start(Load(path), request, nullptr, into(finished)));
  auto result = finished.get_future();
  ASSERT_EQ(result.wait_for(std::chrono::seconds(120)), std::future_status::ready);
  runner.Join();
  const std::shared_ptr<Evaluation> evaluation = result.get();
  ASSERT_NE(evaluation, nullptr);
  ASSERT_EQ(evaluation->status, EvaluationStatus::Ok);
  EXPECT_EQ(EvaluationCsv(EvaluationRows(*evaluation)),
            EvaluationCsv(EvaluationRows(Evaluate(Load(path).get(), request))));
}

}  // namespace
}  // namespace tolvane::test
