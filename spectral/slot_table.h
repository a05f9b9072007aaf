#pragma once

#include <cstdint>

#include "core/owned.h"

namespace tolvane {

// The engine's process-wide table of 100 data slots holding filter kernels, with a use counter.
// Unsynchronised: one engine call at a time.
inline constexpr int kSlotCount = 100;

// Counter 0 -> 1 marks every slot free.
void AcquireEngine();
// Counter 1 -> 0 releases every slot still stored; does nothing at 0.
void ReleaseEngine();
// Copies count values into the lowest free slot; returns its index, or StatusNotInitialised,
// StatusNoFreeSlot or StatusNoMemory.
std::int32_t StoreSlot(const double* values, std::uint32_t count);
// Frees one slot; nothing happens for index -1 or while the engine is not acquired.
void ReleaseSlot(std::int32_t index);

// One acquisition of the engine, given back when its holder goes, whichever way a scope ends:
// `const HeldEngine engine = HoldEngine();`.
struct EngineAcquisition {
  bool held;
};
inline void GiveBack(EngineAcquisition& acquisition) {
  if (acquisition.held) {
    acquisition.held = false;
    ReleaseEngine();
  }
}
using HeldEngine = Owned<EngineAcquisition, GiveBack>;
inline HeldEngine HoldEngine() {
  AcquireEngine();
  return HeldEngine(EngineAcquisition{true});
}

// Read access for the filters and for tests.
std::uint32_t EngineUseCount();
const double* SlotValues(std::int32_t index);  // nullptr when free or out of range
std::uint32_t SlotLength(std::int32_t index);  // 0 when free or out of range

}  // namespace tolvane
