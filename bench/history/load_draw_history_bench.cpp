// Loading a long history: throughput, and the process's peak memory next to the file's size;
// the log's cost beside its write calls; decoding alone, with the loader's decoder and with plain
// iconv.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/cp932.h"
#include "history/draw_history.h"

namespace tolvane {
namespace {

constexpr int kDraws = 1'000'000;

// A temporary history of kDraws draws in code page 932, written in small pieces so that making
// it does not raise the peak memory the benchmark reports.
class GeneratedHistory {
 public:
  explicit GeneratedHistory(int draws = kDraws) {
    path_ = (std::filesystem::temp_directory_path() /
             ("tolvane-bench-" + std::to_string(::getpid()) + "-" + std::to_string(draws) + ".csv"))
                .string();
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    // 回別,抽せん日,曜日,当せん番号 / 第 / 回 / 月..金 in code page 932.
    out << "\x89\xF1\x95\xCA,\x92\x8A\x82\xB9\x82\xF1\x93\xFA,\x97\x6A\x93\xFA,"
           "\x93\x96\x82\xB9\x82\xF1\x94\xD4\x8D\x86\n";
    static const char* const kWeekdays[] = {"\x8C\x8E", "\x89\xCE", "\x90\x85", "\x96\xD8",
                                            "\x8B\xE0"};
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> number(0, 999);
    char line[64];
    for (int round = 1; round <= draws; ++round) {
      const int day = round - 1;
      const int length = std::snprintf(
          line, sizeof line, "\x91\xE6%d\x89\xF1,%d/%02d/%02d,%s,%03d\n", round, 1994 + day / 260,
          day / 20 % 12 + 1, day % 20 + 1, kWeekdays[day % 5], number(random));
      out.write(line, length);
    }
  }
  ~GeneratedHistory() { std::filesystem::remove(path_); }
  GeneratedHistory(const GeneratedHistory&) = delete;
  GeneratedHistory& operator=(const GeneratedHistory&) = delete;

  const std::string& path() const { return path_; }
  std::uintmax_t bytes() const { return std::filesystem::file_size(path_); }

 private:
  std::string path_;
};

const GeneratedHistory& LongHistory() {
  static const GeneratedHistory history;
  return history;
}

double PeakRssMegabytes() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in kilobytes
}

void BM_LoadDrawHistory(benchmark::State& state) {
  const GeneratedHistory& history = LongHistory();
  static const double rssBeforeLoading = PeakRssMegabytes();
  const double fileMegabytes = static_cast<double>(history.bytes()) / (1024.0 * 1024.0);
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores)
    DrawHistory loaded{};
    const std::int32_t result =
        LoadDrawHistory(history.path(), loaded.hundreds, loaded.tens, loaded.ones, "");
    if (result != kLoadOk || loaded.ones.size != kDraws) {
      state.SkipWithError("the generated history did not load");
    }
    benchmark::DoNotOptimize(loaded.ones.data);
    ReleaseDrawHistory(loaded);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(history.bytes()));
  const double peak = PeakRssMegabytes();
  state.counters["file_MB"] = fileMegabytes;
  state.counters["peak_rss_MB"] = peak;
  state.counters["rss_before_MB"] = rssBeforeLoading;
  state.counters["peak_over_file"] = peak / fileMegabytes;
}
// Real time, so that the figure includes waiting for the file.
BENCHMARK(BM_LoadDrawHistory)->Unit(benchmark::kMillisecond)->UseRealTime();

// The log's cost, split: a load writing its trace (five lines a draw, each handed to the kernel at
// once), against the floor of those write calls alone: the same lines replayed from the finished
// trace, one write(2) each, into an O_APPEND file. What the first costs beyond the second and a
// load without a log is the log's own work: formatting and converting.
constexpr int kLoggedDraws = 200'000;

const GeneratedHistory& LoggedHistory() {
  static const GeneratedHistory history(kLoggedDraws);
  return history;
}

std::string ScratchLog(const char* name) {
  return (std::filesystem::temp_directory_path() /
          ("tolvane-bench-" + std::to_string(::getpid()) + "-" + name + ".log"))
      .string();
}

void BM_LoadWithoutLog200k(benchmark::State& state) {
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores)
    DrawHistory loaded{};
    if (LoadDrawHistory(LoggedHistory().path(), loaded.hundreds, loaded.tens, loaded.ones, "") !=
        kLoadOk) {
      state.SkipWithError("the generated history did not load");
    }
    ReleaseDrawHistory(loaded);
  }
}
BENCHMARK(BM_LoadWithoutLog200k)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadWithLog200k(benchmark::State& state) {
  const std::string log = ScratchLog("trace");
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores)
    state.PauseTiming();
    std::filesystem::remove(log);
    state.ResumeTiming();
    DrawHistory loaded{};
    if (LoadDrawHistory(LoggedHistory().path(), loaded.hundreds, loaded.tens, loaded.ones, log) !=
        kLoadOk) {
      state.SkipWithError("the generated history did not load");
    }
    ReleaseDrawHistory(loaded);
  }
  state.counters["log_MB"] = static_cast<double>(std::filesystem::file_size(log)) / 1048576.0;
  std::filesystem::remove(log);
}
BENCHMARK(BM_LoadWithLog200k)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LogWriteCallsAlone200k(benchmark::State& state) {
  const std::string trace = ScratchLog("source");
  DrawHistory loaded{};
  LoadDrawHistory(LoggedHistory().path(), loaded.hundreds, loaded.tens, loaded.ones, trace);
  ReleaseDrawHistory(loaded);
  std::ifstream in(trace, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::filesystem::remove(trace);
  const std::string replay = ScratchLog("replay");
  std::int64_t calls = 0;
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores)
    state.PauseTiming();
    std::filesystem::remove(replay);
    const int fd = ::open(replay.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    state.ResumeTiming();
    calls = 0;
    for (std::size_t start = 0; start < text.size();) {
      const std::size_t end = text.find('\n', start) + 1;
      if (::write(fd, text.data() + start, end - start) < 0) {
        state.SkipWithError("write failed");
        break;
      }
      ++calls;
      start = end;
    }
    ::close(fd);
  }
  state.counters["write_calls"] = static_cast<double>(calls);
  std::filesystem::remove(replay);
}
BENCHMARK(BM_LogWriteCallsAlone200k)->Unit(benchmark::kMillisecond)->UseRealTime();

// Decoding alone, the whole file held in memory and decoded in the loader's 256 KiB runs: the
// table decoder the loader uses against plain iconv (the reference it must equal).
void DecodeInRuns(benchmark::State& state, Cp932Decoder& decoder) {
  std::ifstream in(LongHistory().path(), std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  constexpr std::size_t kRun = std::size_t{256} * 1024;
  std::vector<char16_t> out(kRun);
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores)
    std::size_t units = 0;
    // Runs end after a line feed, as the loader cuts them.
    for (std::size_t start = 0; start < bytes.size();) {
      std::size_t end = std::min(start + kRun, bytes.size());
      if (end < bytes.size()) {
        end = bytes.rfind('\n', end - 1) + 1;
      }
      const TextDecoder::Decoded decoded =
          decoder.DecodeInto(std::string_view(bytes).substr(start, end - start), out.data());
      if (!decoded.ok) {
        state.SkipWithError("the generated history did not decode");
        return;
      }
      units += decoded.units;
      start = end;
    }
    benchmark::DoNotOptimize(units);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(bytes.size()));
}

void BM_DecodeCp932Table(benchmark::State& state) {
  const std::unique_ptr<Cp932Decoder> decoder = Cp932Decoder::Open();
  DecodeInRuns(state, *decoder);
}
BENCHMARK(BM_DecodeCp932Table)->Unit(benchmark::kMillisecond);

void BM_DecodeCp932Iconv(benchmark::State& state) {
  const std::unique_ptr<Cp932Decoder> decoder = Cp932Decoder::OpenIconvOnly();
  DecodeInRuns(state, *decoder);
}
BENCHMARK(BM_DecodeCp932Iconv)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tolvane

BENCHMARK_MAIN();
