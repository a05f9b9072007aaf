#pragma once

#include <cstddef>
#include <cstdint>

namespace tolvane {

// The transform's sine table for n points (n a power of two): SineTableSize(n) = n + n/4 entries,
// entry i being sin(2*pi*i/n), so entry h + n/4 is cos(2*pi*h/n). The first octant comes from a
// rotation recurrence seeded by one sin(), the rest by symmetry. This exact sequence of roundings
// is what every spectrum in the program is built on, so whatever computes a transform builds its
// table here.
std::size_t SineTableSize(std::uint32_t n);
void BuildSineTable(std::uint32_t n, double* table);

}  // namespace tolvane
