#pragma once

#include <cstdint>

namespace tolvane {

// Status codes of every spectral engine operation that can fail; 0 is success.
enum EngineStatus : std::int32_t {
  StatusOk = 0,
  StatusInvalid = -1,           // input missing or unusable, undefined frame mode
  StatusNoMemory = -2,          // a work array, table, slot or record array cannot be obtained
  StatusNoData = -200,          // filtering a series whose size or rate is 0
  StatusNotInitialised = -201,  // a slot or filter needed while the engine is not acquired
  StatusNoFilter = -202,        // filtering with no kernel slot or a decimation below 1
  StatusNoFreeSlot = -203,      // all 100 data slots are in use
};

}  // namespace tolvane
