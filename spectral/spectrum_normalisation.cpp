#include "spectral/spectrum_normalisation.h"

#include <cmath>

namespace tolvane {

NormalisingSums PowerAndAmplitude(const double* re, const double* im, double* power,
                                  double* amplitude, std::size_t n) {
  const std::size_t end = SummedEnd(n);
  NormalisingSums sums;
  for (std::size_t i = 0; i < n; ++i) {
    const double binPower = re[i] * re[i] + im[i] * im[i];
    const double binAmplitude = std::sqrt(binPower);
    power[i] = binPower;
    amplitude[i] = binAmplitude;
    if (i >= 1 && i < end) {
      sums.power += binPower;
      sums.amplitude += binAmplitude;
    }
  }
  return sums;
}

void NormalisedPowerAndAmplitude(const double* re, const double* im, double* power,
                                 double* amplitude, std::size_t n) {
  const NormalisingSums sums = PowerAndAmplitude(re, im, power, amplitude, n);
  Normalise(power, n, sums.power);
  Normalise(amplitude, n, sums.amplitude);
}

}  // namespace tolvane
