#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace tolvane::detail {

// Every array the engine obtains comes from these two functions, so that a test can make any
// single one of them fail and follow the failure path. They return nullptr instead of throwing.
// Arrays are plain new[] arrays: callers that hand one to a record release it with delete[].
// All of this is safe to call from several threads at once.
double* NewDoubles(std::size_t count, bool zeroed = false);
std::uint32_t* NewIndices(std::size_t count);

// Storage shared between calls (the transform's tables, built once per length) is not
// allocated per call, but each use still counts as one attempt: true when the armed failure
// falls on it, so callers' failure paths stay reachable whatever is cached already.
bool SharedStorageRefused();

using DoubleArray = std::unique_ptr<double[]>;
using IndexArray = std::unique_ptr<std::uint32_t[]>;

inline DoubleArray MakeDoubles(std::size_t count, bool zeroed = false) {
  return DoubleArray(NewDoubles(count, zeroed));
}
inline IndexArray MakeIndices(std::size_t count) { return IndexArray(NewIndices(count)); }

// Test hook: the nth allocation from now (1 = the next one) fails; 0 disarms the hook.
void FailNthAllocation(std::uint64_t n);
// True while an armed failure has not happened yet.
bool AllocationFailurePending();
// Allocations attempted since the process started (failed ones and uses of shared storage
// included).
std::uint64_t AllocationCount();

}  // namespace tolvane::detail
