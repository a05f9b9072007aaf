#include "spectral/detail/allocation.h"

#include <atomic>
#include <new>

namespace tolvane::detail {
namespace {

// Worker threads allocate concurrently, so the hook's counters are atomics. A single-threaded
// test sees the same sequence as before: each attempt takes one step off the countdown.
std::atomic<std::uint64_t> failCountdown{0};
std::atomic<std::uint64_t> attempts{0};

// Consumes one allocation attempt; true when the armed failure is due now. The countdown only
// moves while it is non-zero, so exactly one attempt sees it reach zero.
bool InjectedFailure() {
  attempts.fetch_add(1, std::memory_order_relaxed);
  std::uint64_t left = failCountdown.load(std::memory_order_relaxed);
  while (left != 0) {
    if (failCountdown.compare_exchange_weak(left, left - 1, std::memory_order_relaxed)) {
      return left == 1;
    }
  }
  return false;
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

bool SharedStorageRefused() { return InjectedFailure(); }

void FailNthAllocation(std::uint64_t n) { failCountdown.store(n, std::memory_order_relaxed); }

bool AllocationFailurePending() { return failCountdown.load(std::memory_order_relaxed) != 0; }

std::uint64_t AllocationCount() { return attempts.load(std::memory_order_relaxed); }

}  // namespace tolvane::detail
