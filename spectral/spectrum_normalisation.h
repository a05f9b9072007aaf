#pragma once

#include <cstddef>

namespace tolvane {

// How a spectrum's power and amplitude are normalised: each bin divided by the sum over bins
// 1 <= i < n/2 - 1 (the constant bin and everything from just below the Nyquist bin upward are
// left out), unless that sum is below kMinimumNormalisingSum, which is taken for an all-zero
// spectrum and left as it is. Whatever turns a transform into scores computes them here, so the
// bits agree everywhere.

inline constexpr double kMinimumNormalisingSum = 1e-6;

// One past the last bin that enters the sums.
inline std::size_t SummedEnd(std::size_t n) { return n / 2 >= 1 ? n / 2 - 1 : 0; }

// A value as normalisation leaves it.
inline double Normalised(double value, double sum) {
  return sum < kMinimumNormalisingSum ? value : value / sum;
}

inline void Normalise(double* values, std::size_t n, double sum) {
  if (sum < kMinimumNormalisingSum) {
    return;
  }
  for (std::size_t i = 0; i < n; ++i) {
    values[i] = values[i] / sum;
  }
}

struct NormalisingSums {
  double power = 0.0;
  double amplitude = 0.0;
};

// Each bin's power re^2 + im^2 and amplitude sqrt(power), not yet normalised, and their sums
// over the summed bins, in bin order. The outputs may be the inputs themselves: each bin is read
// before it is written.
NormalisingSums PowerAndAmplitude(const double* re, const double* im, double* power,
                                  double* amplitude, std::size_t n);

// The same, each then normalised by its own sum: what a spectrum record holds.
void NormalisedPowerAndAmplitude(const double* re, const double* im, double* power,
                                 double* amplitude, std::size_t n);

}  // namespace tolvane
