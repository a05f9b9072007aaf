#pragma once

#include <cstdint>

#include "core/wa_data.h"

namespace tolvane {

// Filter kinds offered by the main window.
inline constexpr std::int32_t kFilterLowPass = 0;   // "LPF"
inline constexpr std::int32_t kFilterBandPass = 1;  // "BPF"
inline constexpr std::int32_t kFilterNone = 2;      // "NONE"

// A 128-tap FIR filter whose kernel lives in an engine slot. Owns its slot: destruction releases
// it (which does nothing once the engine is no longer acquired).
struct FirFilter {
  std::int32_t slot = -1;  // -1: no kernel
  std::uint32_t decimation = 1;
  std::int32_t kind = -1;  // -1 none designed, 0 low-pass, 1 band-pass
  std::int32_t designRate = 0;
  std::int32_t cutoff = 0;
  std::int32_t bandLow = 0;
  std::int32_t bandHigh = 0;

  FirFilter() = default;
  FirFilter(const FirFilter&) = delete;
  FirFilter& operator=(const FirFilter&) = delete;
  ~FirFilter();

  // Forgets the kernel and the design; decimation keeps its value.
  void Reset();
};

// Design a kernel into the filter's slot. 0, StatusNoMemory, StatusNotInitialised or
// StatusNoFreeSlot. The engine must be acquired.
std::int32_t DesignLowPass(FirFilter& filter);
std::int32_t DesignBandPass(FirFilter& filter);

// Multiplies 128 values in place by the Blackman window.
void ApplyBlackmanWindow(double* values);

// Causal convolution of the series with the filter's kernel, in place (the series' array is
// replaced). 0, StatusNoMemory, StatusNoData, StatusNotInitialised or StatusNoFilter; on any
// failure the series is exactly as it was.
std::int32_t ApplyFilter(FirFilter& filter, WAData& series);

}  // namespace tolvane
