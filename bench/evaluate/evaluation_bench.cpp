// Walk-forward evaluations on the bundled sample (6,500 draws) and on a generated 100,000-draw
// history (scripts/generate_sample_history.py --draws 100000 --seed 1), by number of threads.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "evaluate/evaluation.h"
#include "history/draw_history.h"

namespace tolvane {
namespace {

constexpr const char* kSamplePath = TOLVANE_SOURCE_DIR "/data/numbers3-sample.csv";

// The generated history, written on first use and removed at exit.
class GeneratedHistory {
 public:
  ~GeneratedHistory() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }

  // Empty when the generator failed.
  std::string Path() {
    if (!written_) {
      written_ = true;
      const std::string command = "python3 " TOLVANE_SOURCE_DIR
                                  "/scripts/generate_sample_history.py --draws 100000 --seed 1 "
                                  "--out '" +
                                  path_.string() + "' >/dev/null";
      ok_ = std::system(command.c_str()) == 0;  // NOLINT(cert-env33-c): a fixed command
    }
    return ok_ ? path_.string() : std::string();
  }

 private:
  std::filesystem::path path_ = std::filesystem::temp_directory_path() /
                                ("tolvane-bench-h100k-" + std::to_string(::getpid()) + ".csv");
  bool written_ = false;
  bool ok_ = false;
};

// Loaded histories by path, kept for the whole run.
const DrawHistory* Loaded(const std::string& path) {
  static std::map<std::string, std::unique_ptr<OwnedHistory>> loaded;
  auto found = loaded.find(path);
  if (found == loaded.end()) {
    auto history = std::make_unique<OwnedHistory>();
    DrawHistory& h = history->get();
    if (path.empty() || LoadDrawHistory(path, h.hundreds, h.tens, h.ones, "") != kLoadOk) {
      return nullptr;
    }
    found = loaded.emplace(path, std::move(history)).first;
  }
  return &found->second->get();
}

void RunEvaluation(benchmark::State& state, const std::string& path,
                   const EvaluationRequest& request) {
  const DrawHistory* history = Loaded(path);
  if (history == nullptr) {
    state.SkipWithError("history not available");
    return;
  }
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores)
    const Evaluation evaluation = Evaluate(*history, request);
    if (evaluation.status != EvaluationStatus::Ok) {
      state.SkipWithError("evaluation failed");
      break;
    }
    benchmark::DoNotOptimize(evaluation.runs.data());
  }
}

EvaluationRequest Request(benchmark::State& state) {
  EvaluationRequest request;
  request.threads = static_cast<unsigned>(state.range(0));
  return request;
}

void BM_SampleLowPassHead(benchmark::State& state) {
  EvaluationRequest request = Request(state);
  request.runs = {{FilterKind::LowPass, FrameMode::Head}};
  RunEvaluation(state, kSamplePath, request);
}

void BM_SampleAllNineRuns(benchmark::State& state) {
  RunEvaluation(state, kSamplePath, Request(state));
}

// Load and evaluate, as a front end does per invocation.
void BM_SampleLoadAndAllNineRuns(benchmark::State& state) {
  const EvaluationRequest request = Request(state);
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores)
    OwnedHistory history;
    DrawHistory& h = history.get();
    if (LoadDrawHistory(kSamplePath, h.hundreds, h.tens, h.ones, "") != kLoadOk ||
        Evaluate(h, request).status != EvaluationStatus::Ok) {
      state.SkipWithError("evaluation failed");
      break;
    }
  }
}

void BM_Generated100kLast10kAllNineRuns(benchmark::State& state) {
  static GeneratedHistory generated;
  EvaluationRequest request = Request(state);
  request.last = 10000;
  RunEvaluation(state, generated.Path(), request);
}

void BM_Generated100kAllDrawsLowPassTail(benchmark::State& state) {
  static GeneratedHistory generated;
  EvaluationRequest request = Request(state);
  request.runs = {{FilterKind::LowPass, FrameMode::Tail}};
  RunEvaluation(state, generated.Path(), request);
}

// How long a cancelled evaluation takes to return, the wait the window's 中止 and closing
// impose: a 100,000-draw history, all nine runs, cancelled 100 ms into the run.
void BM_CancelLatency(benchmark::State& state) {
  static GeneratedHistory generated;
  const DrawHistory* history = Loaded(generated.Path());
  if (history == nullptr) {
    state.SkipWithError("history not available");
    return;
  }
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores)
    std::atomic<bool> cancel{false};
    EvaluationRequest request = Request(state);
    request.cancel = &cancel;
    std::chrono::steady_clock::time_point returned;
    std::thread worker([&] {
      static_cast<void>(Evaluate(*history, request));
      returned = std::chrono::steady_clock::now();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const auto cancelled = std::chrono::steady_clock::now();
    cancel = true;
    worker.join();
    state.SetIterationTime(std::chrono::duration<double>(returned - cancelled).count());
  }
}

BENCHMARK(BM_SampleLowPassHead)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SampleAllNineRuns)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SampleLoadAndAllNineRuns)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Generated100kLast10kAllNineRuns)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_CancelLatency)->Arg(2)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(BM_Generated100kAllDrawsLowPassTail)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace tolvane
