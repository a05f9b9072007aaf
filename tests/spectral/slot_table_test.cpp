#include "spectral/slot_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "spectral/detail/allocation.h"
#include "spectral/engine_status.h"
#include "tests/spectral/engine_fixture.h"

namespace tolvane::test {
namespace {

class SlotTableTest : public EngineFixture {};

constexpr std::array<double, 3> kKernel = {0.25, -1.5, 3.0};

std::int32_t Store() {
  return StoreSlot(kKernel.data(), static_cast<std::uint32_t>(kKernel.size()));
}

TEST_F(SlotTableTest, StoreSlotNeedsTheEngine) {
  EXPECT_EQ(Store(), StatusNotInitialised);
  AcquireEngine();
  EXPECT_EQ(SlotLength(0), 0U);
  EXPECT_EQ(Store(), 0);
  ReleaseEngine();
}

TEST_F(SlotTableTest, SlotsRunOutAtOneHundredAndFreedOnesAreReused) {
  AcquireEngine();
  for (std::int32_t i = 0; i < kSlotCount; ++i) {
    ASSERT_EQ(Store(), i);
  }
  EXPECT_EQ(Store(), StatusNoFreeSlot);
  ReleaseSlot(37);
  EXPECT_EQ(SlotLength(37), 0U);
  EXPECT_EQ(SlotValues(37), nullptr);
  EXPECT_EQ(Store(), 37);
  EXPECT_EQ(Store(), StatusNoFreeSlot);
  // The slot holds a copy, not the caller's array.
  EXPECT_NE(SlotValues(37), kKernel.data());
  EXPECT_TRUE(
      std::equal(kKernel.begin(), kKernel.end(), SlotValues(37), SlotValues(37) + SlotLength(37)));
  ReleaseEngine();
  for (std::int32_t i = 0; i < kSlotCount; ++i) {
    EXPECT_EQ(SlotLength(i), 0U) << i;
  }
}

TEST_F(SlotTableTest, NestedAcquisitionsKeepSlotsUntilTheLastRelease) {
  AcquireEngine();
  const std::int32_t outer = Store();
  AcquireEngine();
  EXPECT_EQ(EngineUseCount(), 2U);
  EXPECT_EQ(SlotLength(outer), kKernel.size()) << "a nested acquisition wiped a slot";
  const std::int32_t inner = Store();
  ReleaseEngine();
  EXPECT_EQ(SlotLength(outer), kKernel.size());
  EXPECT_EQ(SlotLength(inner), kKernel.size());
  ReleaseEngine();
  EXPECT_EQ(SlotLength(outer), 0U);
  EXPECT_EQ(SlotLength(inner), 0U);
  ReleaseEngine();  // already at 0: nothing happens
  EXPECT_EQ(EngineUseCount(), 0U);
}

TEST_F(SlotTableTest, ReleasingASlotTwiceOrOutOfRangeDoesNothing) {
  AcquireEngine();
  const std::int32_t slot = Store();
  for (const std::int32_t index : {-1, -5, kSlotCount, 1000}) {
    ReleaseSlot(index);
    EXPECT_EQ(SlotValues(index), nullptr);
    EXPECT_EQ(SlotLength(index), 0U);
  }
  EXPECT_EQ(SlotLength(slot), kKernel.size());
  ReleaseSlot(slot);
  ReleaseSlot(slot);  // the sanitiser build catches a second delete
  EXPECT_EQ(Store(), slot);
  ReleaseEngine();
  ReleaseSlot(slot);  // engine released: nothing to do
}

TEST_F(SlotTableTest, StoreSlotRefusesEmptyKernelsAndSurvivesMissingStorage) {
  AcquireEngine();
  EXPECT_EQ(StoreSlot(nullptr, 3), StatusInvalid);
  EXPECT_EQ(StoreSlot(kKernel.data(), 0), StatusInvalid);
  detail::FailNthAllocation(1);
  EXPECT_EQ(Store(), StatusNoMemory);
  EXPECT_EQ(SlotLength(0), 0U);
  EXPECT_EQ(Store(), 0) << "the slot of a failed store must stay free";
  ReleaseEngine();
}

}  // namespace
}  // namespace tolvane::test
