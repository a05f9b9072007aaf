#include "predict/prediction_options.h"

#include "spectral/fir_filter.h"
#include "spectral/single_digit.h"

namespace tolvane {
namespace {

template <typename Kind, std::size_t N>
std::string_view WordIn(const std::array<OptionEntry<Kind>, N>& table, Kind kind) {
  for (const OptionEntry<Kind>& entry : table) {
    if (entry.kind == kind) {
      return entry.word;
    }
  }
  return {};
}

template <typename Kind, std::size_t N>
std::optional<Kind> KindIn(const std::array<OptionEntry<Kind>, N>& table, std::string_view word) {
  for (const OptionEntry<Kind>& entry : table) {
    if (entry.word == word) {
      return entry.kind;
    }
  }
  return std::nullopt;
}

}  // namespace

std::string_view Word(FilterKind kind) { return WordIn(kFilterKinds, kind); }
std::string_view Word(FrameMode mode) { return WordIn(kFrameModes, mode); }

std::optional<FilterKind> FilterKindFromWord(std::string_view word) {
  return KindIn(kFilterKinds, word);
}

std::optional<FrameMode> FrameModeFromWord(std::string_view word) {
  return KindIn(kFrameModes, word);
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
