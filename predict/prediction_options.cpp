#include "predict/prediction_options.h"

#include "spectral/fir_filter.h"
#include "spectral/single_digit.h"

namespace tolvane {

std::string_view Word(FilterKind kind) { return WordIn(kFilterKinds, kind); }
std::string_view Word(FrameMode mode) { return WordIn(kFrameModes, mode); }

std::optional<FilterKind> FilterKindFromWord(std::string_view word) {
  return KindIn<FilterKind>(kFilterKinds, word);
}

std::optional<FrameMode> FrameModeFromWord(std::string_view word) {
  return KindIn<FrameMode>(kFrameModes, word);
}

std::int32_t EngineCode(FilterKind kind) {
  switch (kind) {
    case FilterKind::LowPass:
      return kFilterLowPass;
    case FilterKind::BandPass:
      return kFilterBandPass;
    case FilterKind::None:
      break;
  }
  return kFilterNone;
}

std::int32_t EngineCode(FrameMode mode) {
  switch (mode) {
    case FrameMode::Head:
      return kFrameHead;
    case FrameMode::Tail:
      return kFrameTail;
    case FrameMode::Center:
      return kFrameCenter;
    case FrameMode::HeadTail:
      break;
  }
  return kFrameHeadTail;
}

}  // namespace tolvane
