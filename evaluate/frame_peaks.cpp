#include "evaluate/frame_peaks.h"

#include "spectral/spectrum_normalisation.h"

namespace tolvane {
namespace {

// The peak of values[i] / sum as the pipeline finds it: scanning from the first value and
// moving only on a strictly greater one (so a NaN first value stays the peak, as there).
class PeakOfNormalised {
 public:
  void Add(std::size_t i, double value, bool summed) {
    if (i == 0 || value > largest_) {
      largest_ = value;
    }
    if (summed) {
      sum_ += value;
    }
  }
  double Peak() const { return Normalised(largest_, sum_); }

 private:
  double largest_ = 0.0;
  double sum_ = 0.0;
};

// Each bin's power and amplitude, not yet normalised, and their sums over the summed bins.
NormalisingSums Unnormalised(const double* re, const double* im, std::size_t n,
                             FrameSpectrum& out) {
  out.power.resize(n);
  out.amplitude.resize(n);
  return PowerAndAmplitude(re, im, out.power.data(), out.amplitude.data(), n);
}

}  // namespace

void NormalisedSpectrum(const double* re, const double* im, std::size_t n, FrameSpectrum& out) {
  out.power.resize(n);
  out.amplitude.resize(n);
  NormalisedPowerAndAmplitude(re, im, out.power.data(), out.amplitude.data(), n);
}

double SingleFramePeak(const double* re, const double* im, std::size_t n) {
  const std::size_t end = SummedEnd(n);
  PeakOfNormalised peak;
  for (std::size_t i = 0; i < n; ++i) {
    peak.Add(i, re[i] * re[i] + im[i] * im[i], i >= 1 && i < end);
  }
  return peak.Peak();
}

double HeadTailPeak(const FrameSpectrum& head, const double* tailRe, const double* tailIm,
                    std::size_t n, FrameSpectrum& tail) {
  const NormalisingSums sums = Unnormalised(tailRe, tailIm, n, tail);
  // The averages become a record's real and imaginary parts: its power is their squared
  // magnitude.
  const std::size_t end = SummedEnd(n);
  PeakOfNormalised peak;
  for (std::size_t i = 0; i < n; ++i) {
    const double power = (head.power[i] + Normalised(tail.power[i], sums.power)) * 0.5;
    const double amplitude =
        (head.amplitude[i] + Normalised(tail.amplitude[i], sums.amplitude)) * 0.5;
    peak.Add(i, power * power + amplitude * amplitude, i >= 1 && i < end);
  }
  return peak.Peak();
}

}  // namespace tolvane
