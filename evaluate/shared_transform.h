#pragma once

#include <cstdint>
#include <vector>

namespace tolvane {

// Transforms of many n-value windows of one series that share their early stages.
//
// The radix-2 transform of the window starting at s first transforms the two half-length
// subsequences of its even and odd values, and so on down: at stage l it holds the
// transforms of the 2^l-value subsequences s + r + j * n / 2^l. Those depend only on s + r, so
// windows a few values apart share nearly all of them: a window then costs about n butterflies
// instead of n/2 * log2(n). Every value is computed with exactly the operations, operands and
// twiddles that ComputeFft (spectral/fft.cpp) uses for that window, so the results are the same
// bits; the sine table is the transform's own (spectral/sine_table.h).
//
// One object serves any number of Prepare calls, keeping its arrays between them.
class SharedStageTransform {
 public:
  // Runs the shared stages for every n-value window (n a power of two) starting from lo to hi
  // (lo <= hi) of `series`, which must hold at least hi + n values and outlive the calls to
  // Window.
  void Prepare(const double* series, std::uint32_t n, std::uint32_t lo, std::uint32_t hi);

  // The transform of the window starting at `start` (between the last Prepare's lo and hi) into
  // re and im (n values each), as ComputeFft(series + start, re, im, n, 0) gives it.
  void Window(std::uint32_t start, double* re, double* im) const;

  std::uint32_t size() const { return n_; }

 private:
  // Combines two transforms of `half` values (first and second) into one of 2 * half values.
  void Butterflies(const double* firstRe, const double* firstIm, const double* secondRe,
                   const double* secondIm, double* outRe, double* outIm, std::uint32_t half) const;

  std::uint32_t n_ = 0;
  std::uint32_t stages_ = 0;  // log2(n)
  std::vector<double> sine_;  // the transform's sine table for n
  const double* series_ = nullptr;
  std::uint32_t lo_ = 0;
  // The transforms of n/2 values for every start from lo to hi + 1, each n/2 values long.
  std::vector<double> re_, im_;
  std::vector<double> scratchRe_, scratchIm_;
};

}  // namespace tolvane
