// Speed of the transform, the filter and whole single-series processing.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/wa_data.h"
#include "spectral/detail/convolution.h"
#include "spectral/detail/fft_on_path.h"
#include "spectral/detail/simd_path.h"
#include "spectral/fft.h"
#include "spectral/fir_filter.h"
#include "spectral/single_digit.h"
#include "spectral/slot_table.h"
#include "spectral/spectrum_record.h"

#ifdef TOLVANE_BENCH_FFTW
#include <fftw3.h>
#endif

namespace {

using namespace tolvane;

// Small digit counts, like the series the predictors hand in.
std::vector<double> Counts(std::size_t n) {
  std::vector<double> values(n);
  std::uint32_t state = 12345;
  for (double& value : values) {
    state = state * 1103515245U + 12345U;
    value = static_cast<double>((state >> 16) % 5);
  }
  return values;
}

// Multiply-adds of one filtering pass over n values: the first 127 outputs use fewer taps.
double FilterMultiplyAdds(std::size_t n) {
  double total = 0;
  for (std::size_t j = 0; j < n; ++j) {
    total += static_cast<double>(std::min<std::size_t>(j, 127) + 1);
  }
  return total;
}

// The transform on the widest path the processor runs (what the program uses).
void BM_ComputeFft(benchmark::State& state) {
  const auto n = static_cast<std::uint32_t>(state.range(0));
  const std::vector<double> src = Counts(n);
  std::vector<double> re(n);
  std::vector<double> im(n);
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores)
    benchmark::DoNotOptimize(ComputeFft(src.data(), re.data(), im.data(), n, 0));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_ComputeFft)->RangeMultiplier(2)->Range(128, 65536);

// The narrower paths, for processors without AVX2 (skipped where the path is missing).
void ComputeFftOnPath(benchmark::State& state, detail::SimdPath path) {
  if (detail::BestSimdPath() < path) {
    state.SkipWithError("this processor does not run the path");
    return;
  }
  const auto n = static_cast<std::uint32_t>(state.range(0));
  const std::vector<double> src = Counts(n);
  std::vector<double> re(n);
  std::vector<double> im(n);
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores)
    benchmark::DoNotOptimize(detail::ComputeFftOn(path, src.data(), re.data(), im.data(), n, 0));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * n);
}
void BM_ComputeFftSse2(benchmark::State& state) {
  ComputeFftOnPath(state, detail::SimdPath::kSse2);
}
void BM_ComputeFftScalar(benchmark::State& state) {
  ComputeFftOnPath(state, detail::SimdPath::kScalar);
}
BENCHMARK(BM_ComputeFftSse2)->Arg(4096)->Arg(65536);
BENCHMARK(BM_ComputeFftScalar)->Arg(4096)->Arg(65536);

#ifdef TOLVANE_BENCH_FFTW
void BM_FftwRealToComplex(benchmark::State& state) {
  const auto n = static_cast<int>(state.range(0));
  auto* in = fftw_alloc_real(static_cast<std::size_t>(n));
  auto* out = fftw_alloc_complex(static_cast<std::size_t>(n) / 2 + 1);
  fftw_plan plan = fftw_plan_dft_r2c_1d(n, in, out, FFTW_MEASURE);
  const std::vector<double> src = Counts(static_cast<std::size_t>(n));
  std::copy(src.begin(), src.end(), in);
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores)
    fftw_execute(plan);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * n);
  fftw_destroy_plan(plan);
  fftw_free(out);
  fftw_free(in);
}
BENCHMARK(BM_FftwRealToComplex)->RangeMultiplier(2)->Range(128, 65536);
#endif

void BM_ApplyFilter(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  const std::vector<double> input = Counts(n);
  AcquireEngine();
  {
    FirFilter filter;
    DesignLowPass(filter);
    WAData series{new double[n], static_cast<std::uint32_t>(n), 1};
    for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores)
      std::copy(input.begin(), input.end(), series.data);
      benchmark::DoNotOptimize(ApplyFilter(filter, series));
    }
    ReleaseSeries(series);
  }
  ReleaseEngine();
  state.counters["madds"] = benchmark::Counter(
      FilterMultiplyAdds(n) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ApplyFilter)->RangeMultiplier(4)->Range(64, 65536);

// The filter's inner loop alone: 128 taps over n values, as multiply-adds per second.
void CausalConvolutionOnPath(benchmark::State& state, detail::SimdPath path) {
  if (detail::BestSimdPath() < path) {
    state.SkipWithError("this processor does not run the path");
    return;
  }
  const auto n = static_cast<std::size_t>(state.range(0));
  const std::vector<double> taps = Counts(128);
  const std::vector<double> input = Counts(n);
  std::vector<double> output(n);
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores)
    detail::CausalConvolutionOn(path, taps.data(), taps.size(), input.data(), output.data(), n);
    benchmark::ClobberMemory();
  }
  state.counters["madds"] = benchmark::Counter(
      FilterMultiplyAdds(n) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
void BM_CausalConvolution(benchmark::State& state) {
  CausalConvolutionOnPath(state, detail::BestSimdPath());
}
void BM_CausalConvolutionSse2(benchmark::State& state) {
  CausalConvolutionOnPath(state, detail::SimdPath::kSse2);
}
void BM_CausalConvolutionScalar(benchmark::State& state) {
  CausalConvolutionOnPath(state, detail::SimdPath::kScalar);
}
BENCHMARK(BM_CausalConvolution)->RangeMultiplier(4)->Range(64, 65536);
BENCHMARK(BM_CausalConvolutionSse2)->Arg(512)->Arg(65536);
BENCHMARK(BM_CausalConvolutionScalar)->Arg(512)->Arg(65536);

// kind < 0: the unfiltered overload; otherwise the filtered one with that filter kind.
void ProcessSeries(benchmark::State& state, std::int32_t kind) {
  const auto n = static_cast<std::size_t>(state.range(0));
  const auto length = static_cast<std::uint32_t>(n);
  const std::vector<double> input = Counts(n);
  WAData series{new double[n], length, 1};
  SpectrumRecord record{};
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores)
    // Filtering replaces the values, so every pass starts from the same counts.
    std::copy(input.begin(), input.end(), series.data);
    const std::int32_t status =
        kind < 0 ? ProcessSingleDigit(record, series, length, "bench", "")
                 : ProcessSingleDigit(record, series, length, kFrameHead, kind, "bench", "");
    benchmark::DoNotOptimize(status);
  }
  ReleaseSpectrumRecord(record);
  ReleaseSeries(series);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(n));
}

void BM_ProcessSingleDigitUnfiltered(benchmark::State& state) { ProcessSeries(state, -1); }
void BM_ProcessSingleDigitLowPass(benchmark::State& state) { ProcessSeries(state, kFilterLowPass); }
void BM_ProcessSingleDigitBandPass(benchmark::State& state) {
  ProcessSeries(state, kFilterBandPass);
}
BENCHMARK(BM_ProcessSingleDigitUnfiltered)->RangeMultiplier(4)->Range(64, 65536);
BENCHMARK(BM_ProcessSingleDigitLowPass)->RangeMultiplier(4)->Range(64, 65536);
BENCHMARK(BM_ProcessSingleDigitBandPass)->RangeMultiplier(4)->Range(64, 65536);

}  // namespace
