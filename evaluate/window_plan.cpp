#include "evaluate/window_plan.h"

#include <algorithm>
#include <map>
#include <utility>

#include "spectral/single_digit.h"

namespace tolvane {

FrameRef FrameFor(const EvaluationRun& run, std::uint32_t cycles) {
  FrameRef frame;
  frame.n = FrameLength(cycles);
  if (run.filter == FilterKind::None) {
    return frame;  // the unfiltered processing always takes the head
  }
  frame.source = run.filter == FilterKind::LowPass ? SeriesSource::LowPass : SeriesSource::BandPass;
  if (cycles <= frame.n) {
    return frame;
  }
  const std::uint32_t spare = cycles - frame.n;
  switch (run.frame) {
    case FrameMode::Head:
      break;
    case FrameMode::Tail:
      frame.start = spare;
      break;
    case FrameMode::Center:
      frame.start = spare / 2;
      break;
    case FrameMode::HeadTail:
      frame.start = spare;
      frame.headTail = true;
      break;
  }
  return frame;
}

std::size_t WindowSet::IndexOf(std::uint32_t start) const {
  return static_cast<std::size_t>(std::lower_bound(starts.begin(), starts.end(), start) -
                                  starts.begin());
}

std::size_t WindowPlan::SetOf(const FrameRef& frame) const {
  const auto found = std::find_if(sets.begin(), sets.end(), [&frame](const WindowSet& set) {
    return set.source == frame.source && set.n == frame.n;
  });
  return static_cast<std::size_t>(found - sets.begin());
}

WindowPlan PlanWindows(const std::vector<EvaluationRun>& runs, std::uint32_t firstCycles,
                       std::uint32_t lastCycles) {
  std::map<std::pair<SeriesSource, std::uint32_t>, std::map<std::uint32_t, std::uint8_t>> needs;
  WindowPlan plan;
  for (const EvaluationRun& run : runs) {
    plan.usesLowPass = plan.usesLowPass || run.filter == FilterKind::LowPass;
    plan.usesBandPass = plan.usesBandPass || run.filter == FilterKind::BandPass;
    for (std::uint32_t c = firstCycles; c <= lastCycles; ++c) {
      const FrameRef frame = FrameFor(run, c);
      needs[{frame.source, frame.n}][frame.start] |=
          frame.headTail ? WindowSet::kHeadTail : WindowSet::kSingle;
    }
  }
  for (const auto& [key, byStart] : needs) {
    WindowSet& set = plan.sets.emplace_back();
    set.source = key.first;
    set.n = key.second;
    for (const auto& [start, need] : byStart) {
      set.starts.push_back(start);
      set.needs.push_back(need);
      set.anyHeadTail = set.anyHeadTail || (need & WindowSet::kHeadTail) != 0;
    }
  }
  return plan;
}

}  // namespace tolvane
