#include "cli/allocation_policy.h"

#include <malloc.h>

namespace tolvane::cli {

void KeepFreedMemory() {
  // Up to glibc's largest threshold, arrays come from the heap rather than from mappings of
  // their own, which are returned whole when freed...
  constexpr int kMapFrom = 32 << 20;
  // ...and the heap's free top is kept up to this size.
  constexpr int kKeepFree = 512 << 20;
  mallopt(M_MMAP_THRESHOLD, kMapFrom);
  mallopt(M_TRIM_THRESHOLD, kKeepFree);
}

}  // namespace tolvane::cli
