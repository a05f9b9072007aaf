#include "spectral/detail/allocation.h"

#include <new>

namespace tolvane::detail {
namespace {

// The engine is single-threaded by contract, so the hook needs no synchronisation.
std::uint64_t failCountdown = 0;
std::uint64_t attempts = 0;

// Consumes one allocation attempt; true when the armed failure is due now.
bool InjectedFailure() {
  ++attempts;
  if (failCountdown == 0) {
    return false;
  }
  return --failCountdown == 0;
}

}  // namespace

double* NewDoubles(std::size_t count, bool zeroed) {
  if (InjectedFailure()) {
    return nullptr;
  }
  return zeroed ? new (std::nothrow) double[count]() : new (std::nothrow) double[count];
}

std::uint32_t* NewIndices(std::size_t count) {
  if (InjectedFailure()) {
    return nullptr;
  }
  return new (std::nothrow) std::uint32_t[count];
}

void FailNthAllocation(std::uint64_t n) { failCountdown = n; }

bool AllocationFailurePending() { return failCountdown != 0; }

std::uint64_t AllocationCount() { return attempts; }

}  // namespace tolvane::detail
