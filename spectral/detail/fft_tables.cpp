#include "spectral/detail/fft_tables.h"

#include <array>
#include <atomic>
#include <bit>
#include <cstddef>
#include <memory>
#include <mutex>
#include <new>

#include "spectral/sine_table.h"

namespace tolvane::detail {
namespace {

// Stage k's butterfly j uses the angle 2*pi*j*d/n with d = n/(2k), as it always has. With n = 2
// the sine table has no room for a cosine a quarter period on; the only angle used is 0, whose
// cosine is 1.
void SpreadOverStages(std::uint32_t n, const double* sine, double* cosines, double* sines) {
  const std::size_t count = n;
  const std::size_t quarter = count / 4;
  cosines[0] = 0.0;
  sines[0] = 0.0;
  for (std::size_t k = 1; k < count; k *= 2) {
    const std::size_t d = count / (2 * k);
    for (std::size_t j = 0; j < k; ++j) {
      const std::size_t h = j * d;
      cosines[k + j] = quarter == 0 ? 1.0 : sine[h + quarter];
      sines[k + j] = sine[h];
    }
  }
}

// table holds n entries; entry i is i with its log2(n) low bits reversed.
void BuildBitReverseTable(std::uint32_t n, std::uint32_t* table) {
  table[0] = 0;
  std::uint32_t j = 0;
  for (std::uint32_t i = 1; i < n; ++i) {
    std::uint32_t k = n / 2;
    while (k <= j) {
      j -= k;
      k /= 2;
    }
    j += k;
    table[i] = j;
  }
}

struct OwnedTables {
  FftTables view;
  std::unique_ptr<double[]> cosines;
  std::unique_ptr<double[]> sines;
  std::unique_ptr<std::uint32_t[]> reversed;
};

// nullptr when any array cannot be allocated.
OwnedTables* BuildTables(std::uint32_t n) {
  const std::size_t count = n;
  std::unique_ptr<OwnedTables> tables(new (std::nothrow) OwnedTables);
  const std::unique_ptr<double[]> sine(new (std::nothrow) double[SineTableSize(n)]);
  if (!tables || !sine) {
    return nullptr;
  }
  tables->cosines.reset(new (std::nothrow) double[count]);
  tables->sines.reset(new (std::nothrow) double[count]);
  tables->reversed.reset(new (std::nothrow) std::uint32_t[count]);
  if (!tables->cosines || !tables->sines || !tables->reversed) {
    return nullptr;
  }
  BuildSineTable(n, sine.get());
  SpreadOverStages(n, sine.get(), tables->cosines.get(), tables->sines.get());
  BuildBitReverseTable(n, tables->reversed.get());
  tables->view = {n, tables->cosines.get(), tables->sines.get(), tables->reversed.get()};
  return tables.release();
}

// One slot per power of two. A slot, once filled, never changes: readers take it without a
// lock, and the lock only orders the first builds of one length.
struct Slot {
  std::atomic<const OwnedTables*> tables{nullptr};
  std::mutex building;
};

std::array<Slot, 32> slots;

}  // namespace

const FftTables* FftTablesFor(std::uint32_t n) {
  if (!std::has_single_bit(n)) {
    return nullptr;
  }
  Slot& slot = slots[static_cast<std::size_t>(std::countr_zero(n))];
  const OwnedTables* tables = slot.tables.load(std::memory_order_acquire);
  if (tables == nullptr) {
    const std::lock_guard<std::mutex> lock(slot.building);
    tables = slot.tables.load(std::memory_order_relaxed);
    if (tables == nullptr) {
      // Kept until the process ends: workers may still be reading it at any time before.
      tables = BuildTables(n);
      slot.tables.store(tables, std::memory_order_release);
    }
  }
  return tables == nullptr ? nullptr : &tables->view;
}

}  // namespace tolvane::detail
