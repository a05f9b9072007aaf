#include "spectral/detail/simd_path.h"

#if defined(TOLVANE_X86_KERNELS)
// glibc's header is C and spells the result type _Bool, which GCC's C++ accepts and clang's does
// not (clang builds the fuzz targets and runs clang-tidy).
#if defined(__clang__)
#define _Bool bool
#include <sys/platform/x86.h>
#undef _Bool
#else
#include <sys/platform/x86.h>
#endif
#endif

namespace tolvane::detail {
namespace {

#if defined(TOLVANE_X86_KERNELS)
bool ProcessorRunsAvx2() {
  // Asks what the C library found at start-up ("active": the processor has it and the operating
  // system saves the wide registers). The compiler's own probe would ask the processor again,
  // and each question traps to the hypervisor on a virtual machine: tenths of a millisecond at
  // every start.
  return CPU_FEATURE_ACTIVE(AVX2);
}
#endif

SimdPath DetectBestPath() {
#if defined(TOLVANE_X86_KERNELS)
  // Every x86-64 processor has SSE2.
  return ProcessorRunsAvx2() ? SimdPath::kAvx2 : SimdPath::kSse2;
#else
  return SimdPath::kScalar;
#endif
}

}  // namespace

SimdPath BestSimdPath() {
  static const SimdPath best = DetectBestPath();
  return best;
}

std::vector<SimdPath> AvailableSimdPaths() {
  std::vector<SimdPath> paths;
  for (const SimdPath path : {SimdPath::kScalar, SimdPath::kSse2, SimdPath::kAvx2}) {
    paths.push_back(path);
    if (path == BestSimdPath()) {
      break;
    }
  }
  return paths;
}

const char* SimdPathName(SimdPath path) {
  switch (path) {
    case SimdPath::kScalar:
      return "scalar";
    case SimdPath::kSse2:
      return "SSE2";
    case SimdPath::kAvx2:
      return "AVX2";
  }
  return "unknown";
}

}  // namespace tolvane::detail
