#pragma once

#include <cstdint>
#include <vector>

namespace tolvane::detail {

// The instruction sets the inner loops of the transform and the filter come in. Every path
// performs the same floating-point operations in the same order on each value, so they give
// identical bits; they differ only in how many values they work on at once.
enum class SimdPath : std::uint8_t { kScalar, kSse2, kAvx2 };

// The widest path this build and this processor can run; decided once.
SimdPath BestSimdPath();

// Every path this build and this processor can run, narrowest first (for tests).
std::vector<SimdPath> AvailableSimdPaths();

const char* SimdPathName(SimdPath path);

}  // namespace tolvane::detail
