#pragma once

#include <cstddef>
#include <vector>

namespace tolvane {

// The scores the spectral engine gives a transformed frame, computed from the transform with the
// engine's own normalisation (spectral/spectrum_normalisation.h), so they are the same bits.
//
// A score is the peak of a normalised power spectrum, max(p[i] / sum). Correctly rounded
// division by a positive sum never reverses an order, so that equals max(p[i]) / sum, bit for
// bit; only values that feed further arithmetic are divided bin by bin.

// One frame's normalised power and amplitude per bin, as a spectrum record holds them.
struct FrameSpectrum {
  std::vector<double> power;
  std::vector<double> amplitude;
};
void NormalisedSpectrum(const double* re, const double* im, std::size_t n, FrameSpectrum& out);

// The peak of the normalised power a spectrum record holds after SetSpectrum(re, im, n): the
// score of a single-frame ranking.
double SingleFramePeak(const double* re, const double* im, std::size_t n);

// The peak for the head-and-tail frame: both frames' normalised spectra averaged bin by bin
// (ComputeHeadTailSpectrum), then stored as a record's real and imaginary parts (SetSpectrum).
// `tail` is scratch.
double HeadTailPeak(const FrameSpectrum& head, const double* tailRe, const double* tailIm,
                    std::size_t n, FrameSpectrum& tail);

}  // namespace tolvane
