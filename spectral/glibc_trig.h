#pragma once

#include <optional>

namespace tolvane {

// sin and cos rounded as glibc rounds them. Rankings break ties on exact equality, so the sine
// tables and the filter window must hold the same bits in every build; the browser build's C
// library rounds otherwise now and then and reads the values the spectra use from a table
// written out of glibc (spectral/libm_table.inc). Elsewhere these are std::sin and std::cos.
double GlibcSin(double x);
double GlibcCos(double x);

// The tabulated values; nullopt for an argument not in the table.
std::optional<double> TabulatedSin(double x);
std::optional<double> TabulatedCos(double x);

}  // namespace tolvane
