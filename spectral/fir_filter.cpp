#include "spectral/fir_filter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <numbers>

#include "spectral/detail/allocation.h"
#include "spectral/detail/convolution.h"
#include "spectral/engine_status.h"
#include "spectral/fft.h"
#include "spectral/glibc_trig.h"
#include "spectral/slot_table.h"

namespace tolvane {
namespace {

constexpr std::uint32_t kTaps = 128;
constexpr std::size_t kHalfTaps = kTaps / 2;
// The kernels are designed for a nominal rate of 22050 over 128-point frames.
constexpr std::int32_t kDesignRate = 22050;
constexpr double kBinWidth = 172.265625;  // 22050 / 128
constexpr double kLowPassCutoff = 1.0;
constexpr double kBandLow = 1.0;
constexpr double kBandHigh = 11024.0;

bool LowPassBin(std::size_t k) { return static_cast<double>(k) * kBinWidth <= kLowPassCutoff; }

bool BandPassBin(std::size_t k) {
  const auto bin = static_cast<double>(k);
  const double centre = bin * kBinWidth;
  const double lower = (bin - 0.5) * kBinWidth;
  const double upper = (bin + 0.5) * kBinWidth;
  return (lower >= kBandLow && upper <= kBandHigh) || (centre >= kBandLow && upper <= kBandHigh) ||
         (lower >= kBandLow && centre <= kBandHigh) || (lower < kBandLow && upper > kBandHigh);
}

// Turns the mask chosen bin by bin by passes() into a windowed 128-tap kernel in a fresh slot.
// Returns the slot index (>= 0) or a negative status; the filter is not touched here.
std::int32_t DesignKernel(bool (*passes)(std::size_t)) {
  detail::DoubleArray mask = detail::MakeDoubles(kTaps);
  detail::DoubleArray real = mask ? detail::MakeDoubles(kTaps) : nullptr;
  detail::DoubleArray imag = real ? detail::MakeDoubles(kTaps) : nullptr;
  if (!imag) {
    return StatusNoMemory;
  }
  for (std::size_t k = 0; k < kHalfTaps; ++k) {
    mask[k] = passes(k) ? 1.0 : 0.0;
  }
  for (std::size_t k = 1; k < kHalfTaps; ++k) {
    mask[kTaps - k] = mask[k];
  }
  mask[kHalfTaps] = 0.0;

  const std::int32_t status = ComputeFft(mask.get(), real.get(), imag.get(), kTaps, 1);
  if (status != StatusOk) {
    return status;
  }
  // Exchange the halves so that the impulse response is centred on tap 64.
  double* kernel = mask.get();
  for (std::size_t i = 0; i < kHalfTaps; ++i) {
    kernel[i] = real[i + kHalfTaps];
    kernel[i + kHalfTaps] = real[i];
  }
  ApplyBlackmanWindow(kernel);
  return StoreSlot(kernel, kTaps);
}

// Common start of both designs: the engine must be acquired, and an earlier kernel goes.
std::int32_t PrepareDesign(FirFilter& filter) {
  if (EngineUseCount() == 0) {
    return StatusNotInitialised;
  }
  if (filter.slot != -1) {
    filter.Reset();
  }
  return StatusOk;
}

}  // namespace

FirFilter::~FirFilter() { ReleaseSlot(slot); }

void FirFilter::Reset() {
  // Forgetting a kernel without freeing its slot would keep the slot in use until the engine
  // is released.
  ReleaseSlot(slot);
  slot = -1;
  kind = -1;
  designRate = 0;
  cutoff = 0;
  bandLow = 0;
  bandHigh = 0;
}

std::int32_t DesignLowPass(FirFilter& filter) {
  if (const std::int32_t status = PrepareDesign(filter); status != StatusOk) {
    return status;
  }
  const std::int32_t slot = DesignKernel(LowPassBin);
  if (slot < 0) {
    return slot;
  }
  filter.slot = slot;
  filter.kind = kFilterLowPass;
  filter.designRate = kDesignRate;
  filter.cutoff = static_cast<std::int32_t>(kLowPassCutoff);
  return StatusOk;
}

std::int32_t DesignBandPass(FirFilter& filter) {
  if (const std::int32_t status = PrepareDesign(filter); status != StatusOk) {
    return status;
  }
  const std::int32_t slot = DesignKernel(BandPassBin);
  if (slot < 0) {
    return slot;
  }
  filter.slot = slot;
  filter.kind = kFilterBandPass;
  filter.designRate = kDesignRate;
  filter.bandLow = static_cast<std::int32_t>(kBandLow);
  filter.bandHigh = static_cast<std::int32_t>(kBandHigh);
  return StatusOk;
}

void ApplyBlackmanWindow(double* values) {
  // Every design multiplies by the same window, and a prediction designs a kernel per digit and
  // place: the weights are computed once, by the very same expression.
  static const std::array<double, kTaps> kWindow = [] {
    std::array<double, kTaps> weights{};
    for (std::size_t i = 0; i < kTaps; ++i) {
      const auto x = static_cast<double>(i);
      weights[i] = 0.42 - 0.5 * GlibcCos(x * 2.0 * std::numbers::pi / 127.0) +
                   0.08 * GlibcCos(x * 4.0 * std::numbers::pi / 127.0);
    }
    return weights;
  }();
  for (std::size_t i = 0; i < kTaps; ++i) {
    values[i] = kWindow[i] * values[i];
  }
}

std::int32_t ApplyFilter(FirFilter& filter, WAData& series) {
  if (EngineUseCount() == 0) {
    return StatusNotInitialised;
  }
  if (series.size == 0 || series.rate == 0) {
    return StatusNoData;
  }
  const double* taps = SlotValues(filter.slot);
  const std::uint32_t tapCount = SlotLength(filter.slot);
  // A slot that was freed since the design (or never held a kernel) counts as no kernel.
  if (filter.slot == -1 || filter.decimation == 0 || taps == nullptr || tapCount == 0) {
    return StatusNoFilter;
  }
  const std::size_t size = series.size;
  detail::DoubleArray input = detail::MakeDoubles(size);
  detail::DoubleArray output = input ? detail::MakeDoubles(size) : nullptr;
  if (!output) {
    return StatusNoMemory;
  }
  if (series.data == nullptr) {
    return StatusInvalid;
  }
  std::copy(series.data, series.data + size, input.get());
  detail::CausalConvolution(taps, tapCount, input.get(), output.get(), size);

  const std::size_t decimation = filter.decimation;
  const std::size_t kept = (size + decimation - 1) / decimation;
  // The replacement is obtained before the old values go, so a failure loses nothing.
  double* replacement = detail::NewDoubles(kept);
  if (replacement == nullptr) {
    return StatusNoMemory;
  }
  for (std::size_t i = 0; i < kept; ++i) {
    replacement[i] = output[i * decimation];
  }
  ReleaseSeries(series);
  series.data = replacement;
  series.size = static_cast<std::uint32_t>(kept);
  series.rate = series.rate / filter.decimation;
  return StatusOk;
}

}  // namespace tolvane
