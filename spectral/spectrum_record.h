#pragma once

#include <cstdint>

#include "core/owned.h"

namespace tolvane {

// One analysed series' spectrum. Created zeroed by its owner (`SpectrumRecord record{};`), filled
// by SetSpectrum; owns its four arrays, which ReleaseSpectrumRecord frees.
struct SpectrumRecord {
  std::uint32_t count;  // bins held; 0 = empty
  std::uint32_t flags;  // 0 = empty; SetSpectrum sets 15
  double* real;
  double* imag;
  double* power;      // normalised power per bin
  double* amplitude;  // normalised amplitude per bin
  std::int32_t reserved;
};

// Frees every present array and nulls its pointer; count and flags keep their values.
void ReleaseSpectrumRecord(SpectrumRecord& record);

// A spectrum record released with its arrays when it goes.
using OwnedSpectrum = Owned<SpectrumRecord, ReleaseSpectrumRecord>;

// Fills the record from n real and imaginary parts: copies them, computes power and amplitude,
// and normalises each by its sum over bins 1 <= i < n/2 - 1 (skipped when that sum is below
// 1e-6). Returns 0, StatusInvalid (re or im null, n < 1; record untouched) or StatusNoMemory
// (record left empty).
std::int32_t SetSpectrum(SpectrumRecord& record, const double* re, const double* im,
                         std::uint32_t n);

// Copies the record's power array (count values) into out. False, copying nothing, when the
// record holds no spectrum (count or flags 0).
bool GetPowerSpectrum(const SpectrumRecord& record, double* out);

// Two-frame spectrum: normalised power and amplitude of the first n and of the last n values of
// work (length values, n a power of two not above length), averaged bin by bin into powerOut and
// amplitudeOut (n values each). Returns 0 or a failing status of the transform or allocation.
std::int32_t ComputeHeadTailSpectrum(const double* work, double* powerOut, double* amplitudeOut,
                                     std::uint32_t length, std::uint32_t n);

}  // namespace tolvane
