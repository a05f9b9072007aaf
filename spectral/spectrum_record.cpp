#include "spectral/spectrum_record.h"

#include <algorithm>
#include <cstddef>

#include "spectral/detail/allocation.h"
#include "spectral/engine_status.h"
#include "spectral/fft.h"
#include "spectral/spectrum_normalisation.h"

namespace tolvane {
void ReleaseSpectrumRecord(SpectrumRecord& record) {
  for (double** array : {&record.real, &record.imag, &record.power, &record.amplitude}) {
    delete[] * array;
    *array = nullptr;
  }
}

std::int32_t SetSpectrum(SpectrumRecord& record, const double* re, const double* im,
                         std::uint32_t n) {
  if (re == nullptr || im == nullptr || n < 1) {
    return StatusInvalid;
  }
  // The new arrays are obtained before the old ones go, so re and im may even be the record's
  // own arrays.
  const std::size_t count = n;
  detail::DoubleArray real = detail::MakeDoubles(count);
  detail::DoubleArray imag = real ? detail::MakeDoubles(count) : nullptr;
  detail::DoubleArray power = imag ? detail::MakeDoubles(count) : nullptr;
  detail::DoubleArray amplitude = power ? detail::MakeDoubles(count) : nullptr;
  if (!amplitude) {
    ReleaseSpectrumRecord(record);
    record.count = 0;
    record.flags = 0;
    return StatusNoMemory;
  }

  std::copy(re, re + count, real.get());
  std::copy(im, im + count, imag.get());
  NormalisedPowerAndAmplitude(re, im, power.get(), amplitude.get(), count);

  ReleaseSpectrumRecord(record);
  record.real = real.release();
  record.imag = imag.release();
  record.power = power.release();
  record.amplitude = amplitude.release();
  record.count = n;
  record.flags = 15;
  return StatusOk;
}

bool GetPowerSpectrum(const SpectrumRecord& record, double* out) {
  if (record.count == 0 || record.flags == 0 || record.power == nullptr || out == nullptr) {
    return false;
  }
  std::copy(record.power, record.power + record.count, out);
  return true;
}

std::int32_t ComputeHeadTailSpectrum(const double* work, double* powerOut, double* amplitudeOut,
                                     std::uint32_t length, std::uint32_t n) {
  // The tail frame starts at length - n; a frame longer than the work would start before it.
  if (work == nullptr || powerOut == nullptr || amplitudeOut == nullptr || n == 0 || n > length) {
    return StatusInvalid;
  }
  const std::size_t count = n;
  detail::DoubleArray headRe = detail::MakeDoubles(count);
  detail::DoubleArray headIm = headRe ? detail::MakeDoubles(count) : nullptr;
  detail::DoubleArray tailRe = headIm ? detail::MakeDoubles(count) : nullptr;
  detail::DoubleArray tailIm = tailRe ? detail::MakeDoubles(count) : nullptr;
  if (!tailIm) {
    return StatusNoMemory;
  }
  std::int32_t status = ComputeFft(work, headRe.get(), headIm.get(), n, 0);
  if (status != StatusOk) {
    return status;
  }
  status = ComputeFft(work + (length - n), tailRe.get(), tailIm.get(), n, 0);
  if (status != StatusOk) {
    return status;
  }
  // Each frame's power replaces its real parts and its amplitude its imaginary parts.
  NormalisedPowerAndAmplitude(headRe.get(), headIm.get(), headRe.get(), headIm.get(), count);
  NormalisedPowerAndAmplitude(tailRe.get(), tailIm.get(), tailRe.get(), tailIm.get(), count);
  for (std::size_t i = 0; i < count; ++i) {
    powerOut[i] = (headRe[i] + tailRe[i]) * 0.5;
    amplitudeOut[i] = (headIm[i] + tailIm[i]) * 0.5;
  }
  return StatusOk;
}

}  // namespace tolvane
