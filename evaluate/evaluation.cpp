#include "evaluate/evaluation.h"

#include <algorithm>
#include <new>
#include <thread>

#include "evaluate/digit_series.h"
#include "evaluate/hit_tally.h"
#include "evaluate/task_pool.h"
#include "evaluate/window_plan.h"
#include "evaluate/window_scores.h"
#include "predict/digit_ranking.h"
#include "spectral/engine_status.h"

namespace tolvane {
namespace {

// Draws before the first one replayed: a ranking needs one whole cycle.
constexpr std::uint32_t kFirstTarget = kCycleLength;

// The draws replayed, t from first to last (0-based), and the cycle counts their rankings use.
struct Targets {
  std::uint32_t first = 0;
  std::uint32_t last = 0;
  std::uint32_t firstCycles = 0;
  std::uint32_t lastCycles = 0;
};

// The history's places, highest first.
std::vector<const WAData*> Places(const DrawHistory& history) {
  const std::array<const WAData*, kMaxPlaces> all = PlaceSeries(history);
  return {all.begin(), all.begin() + PlaceCount(history.game)};
}

using PlaceDigits = std::vector<std::vector<std::uint8_t>>;  // per place, per target

// Checks the history and fills evaluation.draws; Ok or the status that stops the evaluation.
EvaluationStatus CheckHistory(const DrawHistory& history, Evaluation& evaluation) {
  const std::vector<const WAData*> places = Places(history);
  const std::uint32_t draws = places[0]->size;
  evaluation.draws = draws;
  for (const WAData* place : places) {
    if (place->size != draws) {
      return EvaluationStatus::InvalidHistory;
    }
  }
  if (draws < kMinimumEvaluationDraws) {
    return EvaluationStatus::TooFewDraws;
  }
  for (const WAData* place : places) {
    if (!IsUsable(*place)) {
      return EvaluationStatus::InvalidHistory;
    }
  }
  return EvaluationStatus::Ok;
}

// The digits drawn at every target, per place; false when some value is no digit.
bool DrawnDigits(const DrawHistory& history, const Targets& targets, PlaceDigits& digits) {
  const std::vector<const WAData*> places = Places(history);
  digits.resize(places.size());
  for (std::size_t p = 0; p < places.size(); ++p) {
    digits[p].reserve(targets.last - targets.first + 1);
    for (std::uint32_t t = targets.first; t <= targets.last; ++t) {
      const int digit = DigitOf(places[p]->data[t]);
      if (digit < 0) {
        return false;
      }
      digits[p].push_back(static_cast<std::uint8_t>(digit));
    }
  }
  return true;
}

// One run's outcome from the scores: a ranking per cycle count and place, then the rank of
// every drawn digit.
RunOutcome Replay(const EvaluationRun& run, const Targets& targets, const WindowScores& scores,
                  const PlaceDigits& digits, const EvaluationRequest& request) {
  const bool keepTargets = request.keepTargets;
  RunOutcome outcome;
  outcome.filter = run.filter;
  if (run.filter != FilterKind::None) {
    outcome.frame = run.frame;
  }
  const std::uint32_t trials = targets.last - targets.first + 1;
  outcome.firstDraw = targets.first + 1;
  outcome.trials = trials;
  outcome.rankings = targets.lastCycles - targets.firstCycles + 1;

  PlaceDigits ranks(digits.size(), std::vector<std::uint8_t>(trials));
  outcome.firstCycles = targets.firstCycles;
  for (std::uint32_t c = targets.firstCycles; c <= targets.lastCycles; ++c) {
    std::vector<DigitOrder>* kept =
        request.keepRankings ? &outcome.rankingsByCycles.emplace_back() : nullptr;
    const WindowScores::FrameScores frame = scores.ScoresAt(FrameFor(run, c));
    // The targets ranked with c whole cycles behind them.
    const std::uint32_t from = std::max(targets.first, c * kCycleLength);
    const auto to = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(targets.last, std::uint64_t{c} * kCycleLength + kCycleLength - 1));
    for (int place = 0; place < static_cast<int>(ranks.size()); ++place) {
      DigitScores digitScores{};
      for (int digit = 0; digit < kDigitValues; ++digit) {
        digitScores[static_cast<std::size_t>(digit)] = frame[SeriesIndex(place, digit)];
      }
      const DigitOrder order = RankByScore(digitScores);
      if (kept != nullptr) {
        kept->push_back(order);
      }
      const auto p = static_cast<std::size_t>(place);
      for (std::uint32_t t = from; t <= to; ++t) {
        const std::size_t i = t - targets.first;
        ranks[p][i] = static_cast<std::uint8_t>(RankOf(order, digits[p][i]));
      }
    }
  }

  for (const std::vector<std::uint8_t>& place : ranks) {
    outcome.places.push_back(TallyPlace(place));
  }
  outcome.allPlaces = TallyAllPlaces(ranks);
  if (keepTargets) {
    outcome.targets.resize(trials);
    for (std::size_t i = 0; i < trials; ++i) {
      TargetOutcome& row = outcome.targets[i];
      row.draw = targets.first + static_cast<std::uint32_t>(i) + 1;
      for (std::size_t p = 0; p < ranks.size(); ++p) {
        row.digits[p] = digits[p][i];
        row.ranks[p] = ranks[p][i];
      }
    }
  }
  return outcome;
}

unsigned ThreadCount(unsigned requested) {
  const unsigned count = requested != 0 ? requested : std::thread::hardware_concurrency();
  return std::clamp(count, 1U, kMaxEvaluationThreads);
}

Evaluation EvaluateOrThrow(const DrawHistory& history, const EvaluationRequest& request) {
  Evaluation evaluation;
  evaluation.game = history.game;
  evaluation.status = CheckHistory(history, evaluation);
  if (evaluation.status != EvaluationStatus::Ok) {
    return evaluation;
  }
  if (request.last && *request.last == 0) {
    evaluation.status = EvaluationStatus::NoDrawsToReplay;
    return evaluation;
  }
  const std::uint32_t draws = evaluation.draws;
  Targets targets;
  targets.first = kFirstTarget;
  if (request.last && *request.last < draws - kFirstTarget) {
    targets.first = draws - *request.last;
  }
  targets.last = draws - 1;
  targets.firstCycles = targets.first / kCycleLength;
  targets.lastCycles = targets.last / kCycleLength;

  PlaceDigits digits;
  if (!DrawnDigits(history, targets, digits)) {
    evaluation.status = EvaluationStatus::InvalidHistory;
    return evaluation;
  }

  const WindowPlan plan = PlanWindows(request.runs, targets.firstCycles, targets.lastCycles);
  DigitSeries series;
  const std::int32_t built = BuildDigitSeries(history, targets.lastCycles, plan.usesLowPass,
                                              plan.usesBandPass, request.cancel, series);
  if (built == kBuildCancelled) {
    evaluation.status = EvaluationStatus::Cancelled;
    return evaluation;
  }
  if (built != StatusOk) {
    evaluation.status =
        built == StatusNoMemory ? EvaluationStatus::NoMemory : EvaluationStatus::EngineFailure;
    evaluation.engineStatus = built;
    return evaluation;
  }

  WindowScores scores(plan, series);
  const unsigned threads = scores.ChooseWorkers(ThreadCount(request.threads));
  const std::vector<WindowTask> heads = scores.HeadTasks();
  const std::vector<WindowTask> windows = scores.WindowTasks();
  ProgressReporter progress(request.progress, heads.size() + windows.size());
  progress.Report(0, true);
  const bool finished =
      RunTasks(heads.size(), threads, request.cancel, progress, 0,
               [&](std::size_t i, std::size_t worker) { scores.RunHead(heads[i], worker); }) &&
      RunTasks(windows.size(), threads, request.cancel, progress, heads.size(),
               [&](std::size_t i, std::size_t worker) {
                 scores.RunWindows(windows[i], worker, request.cancel);
               });
  if (!finished) {
    evaluation.status = EvaluationStatus::Cancelled;
    return evaluation;
  }
  progress.Report(heads.size() + windows.size(), true);

  // The runs replay side by side: the tails' p-values, computed in software, take a good part
  // of a run's time.
  evaluation.runs.resize(request.runs.size());
  ProgressReporter silent(nullptr, request.runs.size());
  if (!RunTasks(request.runs.size(), threads, request.cancel, silent, 0,
                [&](std::size_t i, std::size_t) {
                  evaluation.runs[i] = Replay(request.runs[i], targets, scores, digits, request);
                })) {
    evaluation.runs.clear();
    evaluation.status = EvaluationStatus::Cancelled;
  }
  return evaluation;
}

}  // namespace

std::vector<EvaluationRun> AllRuns() {
  std::vector<FilterKind> filters;
  std::vector<FrameMode> frames;
  filters.reserve(kFilterKinds.size());
  frames.reserve(kFrameModes.size());
  for (const auto& entry : kFilterKinds) {
    filters.push_back(entry.kind);
  }
  for (const auto& entry : kFrameModes) {
    frames.push_back(entry.kind);
  }
  return RunsFor(filters, frames);
}

std::vector<EvaluationRun> RunsFor(const std::vector<FilterKind>& filters,
                                   const std::vector<FrameMode>& frames) {
  std::vector<EvaluationRun> runs;
  const auto add = [&runs](const EvaluationRun& run) {
    const bool known = std::any_of(runs.begin(), runs.end(), [&run](const EvaluationRun& r) {
      return r.filter == run.filter && (run.filter == FilterKind::None || r.frame == run.frame);
    });
    if (!known) {
      runs.push_back(run);
    }
  };
  for (const FilterKind filter : filters) {
    if (filter == FilterKind::None) {
      add({filter, FrameMode::Head});
      continue;
    }
    for (const FrameMode frame : frames) {
      add({filter, frame});
    }
  }
  return runs;
}

Evaluation Evaluate(const DrawHistory& history, const EvaluationRequest& request) {
  try {
    return EvaluateOrThrow(history, request);
  } catch (const std::bad_alloc&) {
    Evaluation failed;
    failed.status = EvaluationStatus::NoMemory;
    failed.game = history.game;
    failed.draws = DrawCount(history);
    return failed;
  }
}

std::string StatusText(const Evaluation& evaluation) {
  const std::string draws = std::to_string(evaluation.draws);
  switch (evaluation.status) {
    case EvaluationStatus::Ok:
      return "";
    case EvaluationStatus::TooFewDraws:
      return "no evaluation: the history holds " + draws + " draws; an evaluation needs at least " +
             std::to_string(kMinimumEvaluationDraws);
    case EvaluationStatus::NoDrawsToReplay:
      return "no evaluation: no draws to replay (last 0)";
    case EvaluationStatus::InvalidHistory:
      return "no evaluation: the history's places differ in length or hold a value that is no "
             "digit";
    case EvaluationStatus::EngineFailure:
      return "no evaluation: filtering failed with error code " +
             std::to_string(evaluation.engineStatus);
    case EvaluationStatus::NoMemory:
      return "no evaluation: out of memory";
    case EvaluationStatus::Cancelled:
      return "evaluation cancelled";
  }
  return "";
}

}  // namespace tolvane
