// Whole predictions (load and three places) through the prediction command, as tolvane-cli runs
// them, plus the load and the three places alone to show where the time goes.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "app/prediction_command.h"
#include "cli/console_view.h"
#include "core/utf.h"
#include "history/draw_history.h"
#include "predict/digit_prediction.h"
#include "predict/narrow_texts.h"

namespace tolvane {
namespace {

// One generated history per size, written on first use and removed at exit.
class Histories {
 public:
  ~Histories() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  const std::string& Get(std::uint32_t draws) {
    auto found = files_.find(draws);
    if (found != files_.end()) {
      return found->second;
    }
    std::filesystem::create_directories(dir_);
    const std::string path = (dir_ / ("history-" + std::to_string(draws) + ".csv")).string();
    std::ofstream out(path, std::ios::binary);
    out << "round,date,weekday,number\n";
    std::uint32_t state = 2463534242U;
    char number[4] = {};
    for (std::uint32_t i = 1; i <= draws; ++i) {
      state ^= state << 13;
      state ^= state >> 17;
      state ^= state << 5;
      const std::uint32_t value = state % 1000;
      number[0] = static_cast<char>('0' + value / 100);
      number[1] = static_cast<char>('0' + value / 10 % 10);
      number[2] = static_cast<char>('0' + value % 10);
      out << "\x91\xe6" << i << "\x89\xf1,2020/1/2,X," << number << '\n';
    }
    return files_.emplace(draws, path).first->second;
  }

 private:
  std::filesystem::path dir_ =
      std::filesystem::temp_directory_path() / ("tolvane-bench-" + std::to_string(::getpid()));
  std::map<std::uint32_t, std::string> files_;
};

Histories& SharedHistories() {
  static Histories histories;
  return histories;
}

void BM_WholePrediction(benchmark::State& state) {
  const std::string& path = SharedHistories().Get(static_cast<std::uint32_t>(state.range(0)));
  PredictionInputs inputs;
  inputs.filePath = Utf8ToUtf16(path);
  inputs.filter = kFilterKinds[static_cast<std::size_t>(state.range(1))].kind;
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores)
    ConsoleView view(inputs, u"6501");
    RunPredictionCommand(view);
    if (!view.Errors().empty() || view.ResultText().empty()) {
      state.SkipWithError("prediction failed");
      break;
    }
    benchmark::DoNotOptimize(view.ResultText().data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_LoadOnly(benchmark::State& state) {
  const std::string& path = SharedHistories().Get(static_cast<std::uint32_t>(state.range(0)));
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores)
    DrawHistory history{};
    if (LoadDrawHistory(path, history.hundreds, history.tens, history.ones, "") != kLoadOk) {
      state.SkipWithError("load failed");
      break;
    }
    ReleaseDrawHistory(history);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ThreePlacesOnly(benchmark::State& state) {
  const std::string& path = SharedHistories().Get(static_cast<std::uint32_t>(state.range(0)));
  DrawHistory history{};
  if (LoadDrawHistory(path, history.hundreds, history.tens, history.ones, "") != kLoadOk) {
    state.SkipWithError("load failed");
    return;
  }
  const auto filter = static_cast<std::int32_t>(state.range(1));
  const std::string labels[3] = {std::string(kPlaceHundreds), std::string(kPlaceTens),
                                 std::string(kPlaceOnes)};
  const WAData* places[3] = {&history.hundreds, &history.tens, &history.ones};
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores)
    SpectrumRecord workspace{};
    for (int p = 0; p < 3; ++p) {
      std::string text = filter == 2
                             ? PredictPowerSpectrumDigit(workspace, *places[p], labels[p], "")
                             : PredictDigit(workspace, *places[p], 0, filter, labels[p], "");
      benchmark::DoNotOptimize(text.data());
    }
  }
  ReleaseDrawHistory(history);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Draws x filter kind (0 low-pass, 1 band-pass, 2 none).
void PredictionArgs(benchmark::internal::Benchmark* bench) {
  for (const std::int64_t draws : {6500, 100000, 1000000}) {
    for (const std::int64_t filter : {0, 1, 2}) {
      bench->Args({draws, filter});
    }
  }
}

BENCHMARK(BM_WholePrediction)->Apply(PredictionArgs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadOnly)->Arg(6500)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThreePlacesOnly)->Apply(PredictionArgs)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tolvane

BENCHMARK_MAIN();
