#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/game.h"
#include "predict/digit_ranking.h"
#include "predict/prediction_options.h"

namespace tolvane {

// A stretch of the per-cycle series, as 0-based cycle indices [start, end).
struct CycleSpan {
  std::uint32_t start;
  std::uint32_t end;
};

// What a successful prediction rests on, for front ends that show more than its text: the
// rankings with their scores (and, when asked for, the spectra), and which stretch of each
// digit's per-cycle series the transform used.
struct PredictionAnalysis {
  Game game = Game::kNumbers3;
  std::int32_t round = 0;
  std::uint64_t draws = 0;
  std::uint32_t cycles = 0;
  FilterKind filter = FilterKind::LowPass;
  FrameMode frame = FrameMode::Head;  // plays no part with FilterKind::None
  std::vector<CycleSpan> transformedCycles;
  std::vector<DigitRanking> places;  // one per place of the game, highest first
};

// The stretches the transform takes of `cycles` values: the first nLen2 unfiltered or with the
// head frame, the last nLen2 with the tail, nLen2 from (cycles - nLen2) / 2 with the centre, and
// both the first and the last with head-and-tail (one stretch when they coincide); none without
// a cycle.
std::vector<CycleSpan> TransformedCycles(std::uint32_t cycles, FilterKind filter, FrameMode frame);

}  // namespace tolvane
