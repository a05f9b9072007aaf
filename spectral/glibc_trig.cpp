#include "spectral/glibc_trig.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>

namespace tolvane {
namespace {

#include "spectral/libm_table.inc"

template <std::size_t N>
std::optional<double> Find(const std::array<std::array<std::uint64_t, 2>, N>& table, double x) {
  const auto bits = std::bit_cast<std::uint64_t>(x);
  const auto* entry = std::lower_bound(
      table.begin(), table.end(), bits,
      [](const std::array<std::uint64_t, 2>& row, std::uint64_t key) { return row[0] < key; });
  if (entry == table.end() || (*entry)[0] != bits) {
    return std::nullopt;
  }
  return std::bit_cast<double>((*entry)[1]);
}

}  // namespace

std::optional<double> TabulatedSin(double x) { return Find(kSines, x); }
std::optional<double> TabulatedCos(double x) { return Find(kCosines, x); }

double GlibcSin(double x) {
#if defined(TOLVANE_TABULATED_TRIG)
  return TabulatedSin(x).value_or(std::sin(x));
#else
  return std::sin(x);
#endif
}

double GlibcCos(double x) {
#if defined(TOLVANE_TABULATED_TRIG)
  return TabulatedCos(x).value_or(std::cos(x));
#else
  return std::cos(x);
#endif
}

}  // namespace tolvane
