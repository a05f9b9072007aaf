#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "history/draw_history.h"
#include "predict/digit_ranking.h"
#include "predict/prediction_options.h"

namespace tolvane {

// Walk-forward evaluation: replays a history and counts how often each filter and frame would
// have ranked the digit actually drawn near the top. Draw t (0-based, file order) is ranked
// exactly as a prediction on a history of the first t draws ranks it; the first draw replayed is
// t = 15 (draw number 16), after one whole cycle.

inline constexpr std::uint32_t kMinimumEvaluationDraws = 16;
// The places are the history's game's, highest first, in that order everywhere below: hundreds,
// tens, ones for Numbers 3, with thousands before them for Numbers 4 (core/game.h).
inline constexpr int kMaxRank = 10;
inline constexpr unsigned kMaxEvaluationThreads = 256;

// One filter and frame to replay. With FilterKind::None the frame plays no part.
struct EvaluationRun {
  FilterKind filter = FilterKind::LowPass;
  FrameMode frame = FrameMode::Head;
};

// All nine runs: low-pass with each frame (head, tail, center, headtail), band-pass likewise,
// then none.
std::vector<EvaluationRun> AllRuns();

// Each filter with each frame, in the order given (filters outer, frames inner); none once,
// whatever the frames; repeats dropped.
std::vector<EvaluationRun> RunsFor(const std::vector<FilterKind>& filters,
                                   const std::vector<FrameMode>& frames);

struct EvaluationRequest {
  std::vector<EvaluationRun> runs = AllRuns();
  // Replay only the last N draws (never one before t = 15); nullopt: every draw from t = 15 on.
  std::optional<std::uint32_t> last;
  // Worker threads, the calling thread included; 0: one per hardware thread; at most
  // kMaxEvaluationThreads. The results do not depend on it.
  unsigned threads = 0;
  // Keep a row per replayed draw and run (RunOutcome::targets).
  bool keepTargets = true;
  // Keep each run's rankings, one per whole-cycle count (RunOutcome::rankingsByCycles).
  bool keepRankings = false;
  // Polled throughout; once it reads true the evaluation stops within a few milliseconds and
  // reports EvaluationStatus::Cancelled.
  const std::atomic<bool>* cancel = nullptr;
  // (done, total) work units, called on the calling thread only, at most about 20 times a
  // second, first with done = 0 and, unless stopped early, last with done = total.
  std::function<void(std::uint64_t done, std::uint64_t total)> progress;
};

// hits[k]: draws whose rank was k or better (k = 1..10; index 0 unused, always 0), so
// hits[10] = trials. pValues[k]: the chance that a ranking drawn at random does at least as well,
// P(X >= hits[k]) for X ~ Binomial(trials, chance of a hit at k).
struct HitCounts {
  std::array<std::uint32_t, kMaxRank + 1> hits{};
  std::array<double, kMaxRank + 1> pValues{};
};

// One place: a hit at k has chance k/10; the mean rank is 5.5 by chance.
struct PlaceOutcome : HitCounts {
  double meanRank = 0.0;
};

// One replayed draw of one run.
struct TargetOutcome {
  std::uint32_t draw = 0;                // 1-based draw number in file order (t + 1)
  std::array<int, kMaxPlaces> digits{};  // the digits drawn, one per place of the game
  std::array<int, kMaxPlaces> ranks{};   // their 1-based ranks
};

struct RunOutcome {
  FilterKind filter = FilterKind::LowPass;
  std::optional<FrameMode> frame;    // nullopt with FilterKind::None
  std::uint32_t firstDraw = 0;       // 1-based number of the first draw replayed
  std::uint32_t trials = 0;          // draws replayed
  std::uint32_t rankings = 0;        // distinct rankings they needed (one per whole-cycle count)
  std::vector<PlaceOutcome> places;  // one per place of the game
  // A hit at k needs every place's rank k or better: chance (k/10)^places.
  HitCounts allPlaces;
  std::vector<TargetOutcome> targets;  // in draw order; empty unless keepTargets
  // Unless keepRankings is false: for c whole cycles, at [c - firstCycles], each place's digits
  // best first. Draw t (0-based) is ranked with c = t / 15.
  std::uint32_t firstCycles = 0;
  std::vector<std::vector<DigitOrder>> rankingsByCycles;
};

enum class EvaluationStatus {
  Ok,
  TooFewDraws,      // fewer than 16 draws
  NoDrawsToReplay,  // last was 0
  InvalidHistory,   // series of different sizes, unusable, or a drawn value that is no digit
  EngineFailure,    // the filter could not be designed or applied (engineStatus)
  NoMemory,
  Cancelled,
};

struct Evaluation {
  EvaluationStatus status = EvaluationStatus::Ok;
  Game game = Game::kNumbers3;    // the history's: how many places each run has
  std::uint32_t draws = 0;        // draws in the history
  std::int32_t engineStatus = 0;  // with EngineFailure: the engine's status code
  std::vector<RunOutcome> runs;   // one per requested run, in request order; empty unless Ok
};

// Replays the history for every requested run, every place of its game. The series are only
// read. Throws nothing
// but what the progress callback throws.
// Filtering the count series uses the engine's slot table on the calling thread, before any
// worker starts: no other thread may use the engine meanwhile.
Evaluation Evaluate(const DrawHistory& history, const EvaluationRequest& request);

// English text for a status other than Ok, for the front ends: e.g. "no evaluation: the history
// holds 12 draws; an evaluation needs at least 16".
std::string StatusText(const Evaluation& evaluation);

}  // namespace tolvane
