#include "evaluate/frame_peaks.h"

#include <cmath>

namespace tolvane {
namespace {

// Sums below this are taken for an all-zero spectrum, which stays unnormalised.
constexpr double kMinimumSum = 1e-6;

// Bins 1 <= i < n/2 - 1 enter the normalising sums.
std::size_t SummedEnd(std::size_t n) { return n / 2 >= 1 ? n / 2 - 1 : 0; }

void Normalise(double* values, std::size_t n, double sum) {
  if (sum < kMinimumSum) {
    return;
  }
  for (std::size_t i = 0; i < n; ++i) {
    values[i] = values[i] / sum;
  }
}

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
  double Peak() const { return sum_ < kMinimumSum ? largest_ : largest_ / sum_; }

 private:
  double largest_ = 0.0;
  double sum_ = 0.0;
};

struct Sums {
  double power = 0.0;
  double amplitude = 0.0;
};

// Each bin's power and amplitude, not yet normalised, and their sums over the summed bins.
Sums PowerAndAmplitude(const double* re, const double* im, std::size_t n, FrameSpectrum& out) {
  out.power.resize(n);
  out.amplitude.resize(n);
  const std::size_t end = SummedEnd(n);
  Sums sums;
  for (std::size_t i = 0; i < n; ++i) {
    const double binPower = re[i] * re[i] + im[i] * im[i];
    const double binAmplitude = std::sqrt(binPower);
    out.power[i] = binPower;
    out.amplitude[i] = binAmplitude;
    if (i >= 1 && i < end) {
      sums.power += binPower;
      sums.amplitude += binAmplitude;
    }
  }
  return sums;
}

// A value as Normalise leaves it.
double Normalised(double value, double sum) { return sum < kMinimumSum ? value : value / sum; }

}  // namespace

void NormalisedSpectrum(const double* re, const double* im, std::size_t n, FrameSpectrum& out) {
  const Sums sums = PowerAndAmplitude(re, im, n, out);
  Normalise(out.power.data(), n, sums.power);
  Normalise(out.amplitude.data(), n, sums.amplitude);
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
  const Sums sums = PowerAndAmplitude(tailRe, tailIm, n, tail);
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
