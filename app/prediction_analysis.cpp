#include "app/prediction_analysis.h"

#include "spectral/single_digit.h"

namespace tolvane {

std::vector<CycleSpan> TransformedCycles(std::uint32_t cycles, FilterKind filter, FrameMode frame) {
  // Fewer than 15 draws leave no cycle, and nothing is transformed.
  if (cycles == 0) {
    return {};
  }
  const std::uint32_t n = FrameLength(cycles);
  if (cycles <= n || filter == FilterKind::None || frame == FrameMode::Head) {
    return {{0, n}};
  }
  switch (frame) {
    case FrameMode::Tail:
      return {{cycles - n, cycles}};
    case FrameMode::Center:
      return {{(cycles - n) / 2, (cycles - n) / 2 + n}};
    case FrameMode::HeadTail:
      return {{0, n}, {cycles - n, cycles}};
    case FrameMode::Head:
      break;
  }
  return {{0, n}};
}

}  // namespace tolvane
