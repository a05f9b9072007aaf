#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "evaluate/digit_series.h"
#include "evaluate/evaluation.h"

namespace tolvane {

// The transformed frame whose spectrum peak is a digit's score for one run at a given number
// of whole cycles c, as the engine picks it: n = nLen2(c) values from `start` of the source
// series, or with headTail the head frame (start 0) and the tail frame (start) averaged. With
// c a power of two every frame is the whole series.
struct FrameRef {
  SeriesSource source = SeriesSource::Counts;
  std::uint32_t n = 1;
  std::uint32_t start = 0;
  bool headTail = false;
};
FrameRef FrameFor(const EvaluationRun& run, std::uint32_t cycles);

// The frames of one source and length that some run needs, by start.
struct WindowSet {
  static constexpr std::uint8_t kSingle = 1;
  static constexpr std::uint8_t kHeadTail = 2;

  SeriesSource source = SeriesSource::Counts;
  std::uint32_t n = 1;
  std::vector<std::uint32_t> starts;  // ascending
  std::vector<std::uint8_t> needs;    // per start: kSingle and/or kHeadTail
  bool anyHeadTail = false;

  // The position of `start` in starts; it must be there.
  std::size_t IndexOf(std::uint32_t start) const;
};

struct WindowPlan {
  std::vector<WindowSet> sets;
  bool usesLowPass = false;
  bool usesBandPass = false;

  // The set of a frame's source and length; it must be there.
  std::size_t SetOf(const FrameRef& frame) const;
};

// Every frame the runs need for cycle counts firstCycles to lastCycles.
WindowPlan PlanWindows(const std::vector<EvaluationRun>& runs, std::uint32_t firstCycles,
                       std::uint32_t lastCycles);

}  // namespace tolvane
