#include "spectral/sine_table.h"

#include <cmath>
#include <numbers>

#include "spectral/glibc_trig.h"

namespace tolvane {

std::size_t SineTableSize(std::uint32_t n) { return static_cast<std::size_t>(n) + n / 4; }

void BuildSineTable(std::uint32_t n, double* table) {
  const std::size_t half = n / 2;
  const std::size_t quarter = n / 4;
  const std::size_t eighth = n / 8;

  const double t = GlibcSin(std::numbers::pi / static_cast<double>(n));
  double dc = 2.0 * t * t;
  double ds = std::sqrt(dc * (2.0 - dc));
  const double t2 = 2.0 * dc;

  double c = 1.0;
  double s = 0.0;
  table[quarter] = 1.0;
  table[0] = 0.0;
  for (std::size_t i = 1; i < eighth; ++i) {
    c = c - dc;
    s = s + ds;
    table[i] = s;
    table[quarter - i] = c;
    dc = dc + t2 * c;
    ds = ds - t2 * s;
  }
  if (eighth != 0) {
    table[eighth] = std::sqrt(0.5);
  }
  for (std::size_t i = 0; i < quarter; ++i) {
    table[half - i] = table[i];
  }
  for (std::size_t i = 0; i < half + quarter; ++i) {
    table[i + half] = -table[i];
  }
}

}  // namespace tolvane
