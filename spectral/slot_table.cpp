#include "spectral/slot_table.h"

#include <algorithm>
#include <array>

#include "spectral/detail/allocation.h"
#include "spectral/engine_status.h"

namespace tolvane {
namespace {

// Invariant: a slot is free exactly when its length is 0, and a free slot holds no array, so
// releasing a slot twice or wiping the table can never free or lose an array.
struct SlotTable {
  std::array<double*, kSlotCount> values{};
  std::array<std::uint32_t, kSlotCount> lengths{};
  std::uint32_t useCount = 0;
};

SlotTable& Table() {
  static SlotTable table;
  return table;
}

bool InRange(std::int32_t index) { return index >= 0 && index < kSlotCount; }

void FreeSlot(SlotTable& table, std::size_t index) {
  delete[] table.values[index];
  table.values[index] = nullptr;
  table.lengths[index] = 0;
}

void FreeAllSlots(SlotTable& table) {
  for (std::size_t i = 0; i < table.values.size(); ++i) {
    FreeSlot(table, i);
  }
}

}  // namespace

void AcquireEngine() {
  SlotTable& table = Table();
  ++table.useCount;
  if (table.useCount == 1) {
    FreeAllSlots(table);
  }
}

void ReleaseEngine() {
  SlotTable& table = Table();
  if (table.useCount == 0) {
    return;
  }
  --table.useCount;
  if (table.useCount == 0) {
    FreeAllSlots(table);
  }
}

std::int32_t StoreSlot(const double* values, std::uint32_t count) {
  SlotTable& table = Table();
  if (table.useCount == 0) {
    return StatusNotInitialised;
  }
  // An empty copy would look like a free slot and could never be released.
  if (values == nullptr || count == 0) {
    return StatusInvalid;
  }
  const auto* free = std::find(table.lengths.begin(), table.lengths.end(), 0U);
  if (free == table.lengths.end()) {
    return StatusNoFreeSlot;
  }
  const auto index = static_cast<std::size_t>(free - table.lengths.begin());
  double* copy = detail::NewDoubles(count);
  if (copy == nullptr) {
    return StatusNoMemory;
  }
  std::copy(values, values + count, copy);
  table.values[index] = copy;
  table.lengths[index] = count;
  return static_cast<std::int32_t>(index);
}

void ReleaseSlot(std::int32_t index) {
  SlotTable& table = Table();
  if (!InRange(index) || table.useCount == 0) {
    return;
  }
  FreeSlot(table, static_cast<std::size_t>(index));
}

std::uint32_t EngineUseCount() { return Table().useCount; }

const double* SlotValues(std::int32_t index) {
  return InRange(index) ? Table().values[static_cast<std::size_t>(index)] : nullptr;
}

std::uint32_t SlotLength(std::int32_t index) {
  return InRange(index) ? Table().lengths[static_cast<std::size_t>(index)] : 0;
}

}  // namespace tolvane
