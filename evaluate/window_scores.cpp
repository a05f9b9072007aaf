#include "evaluate/window_scores.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace tolvane {
namespace {

// Starts at most this far apart share their early stages in one task. Wider spans share more
// but hold about span * n values per task; the span shrinks for long frames to bound that.
std::uint32_t ChunkSpan(std::uint32_t n) {
  constexpr std::uint32_t kValuesPerTask = std::uint32_t{1} << 21;
  return std::clamp<std::uint32_t>(kValuesPerTask / n, kNarrowestSharedSpan, 64);
}

// The span `workers` workers may each use within kScratchBudget; 0 when they cannot share
// even kNarrowestSharedSpan starts. A single worker always has the unbounded span. One worker's
// scratch holds at most 16 * (span + 4) * n bytes: the shared stages' four arrays of up to
// (span / 2 + 1) * n values (SharedStageTransform), and four arrays of n for one window's
// transform and the tail's spectrum.
std::uint32_t SpanWithin(std::uint32_t n, unsigned workers) {
  if (workers <= 1) {
    return ChunkSpan(n);
  }
  const std::size_t perWorker = kScratchBudget / workers;
  const std::size_t fits = perWorker / (std::size_t{16} * n);
  if (fits < std::size_t{kNarrowestSharedSpan} + 4) {
    return 0;
  }
  return std::min<std::uint32_t>(ChunkSpan(n), static_cast<std::uint32_t>(fits - 4));
}

}  // namespace

WindowScores::WindowScores(const WindowPlan& plan, const DigitSeries& series)
    : plan_(plan), series_(series), scores_(plan.sets.size()) {
  const double unset = std::numeric_limits<double>::quiet_NaN();
  for (std::size_t s = 0; s < plan.sets.size(); ++s) {
    const WindowSet& set = plan.sets[s];
    const std::size_t entries = series.count * set.starts.size();
    scores_[s].single.assign(entries, unset);
    if (set.anyHeadTail) {
      scores_[s].headTail.assign(entries, unset);
      scores_[s].heads.resize(series.count);
    }
  }
}

std::vector<WindowTask> WindowScores::HeadTasks() const {
  std::vector<WindowTask> tasks;
  for (std::size_t s = 0; s < plan_.sets.size(); ++s) {
    if (plan_.sets[s].anyHeadTail) {
      for (std::size_t series = 0; series < series_.count; ++series) {
        tasks.push_back({s, series, 0, 0});
      }
    }
  }
  return tasks;
}

std::vector<WindowTask> WindowScores::WindowTasks() const {
  std::vector<WindowTask> tasks;
  for (std::size_t s = 0; s < plan_.sets.size(); ++s) {
    const WindowSet& set = plan_.sets[s];
    const std::uint32_t span = SpanWithin(set.n, workers_);
    std::size_t first = 0;
    while (first < set.starts.size()) {
      std::size_t last = first + 1;
      while (last < set.starts.size() && set.starts[last] - set.starts[first] < span) {
        ++last;
      }
      for (std::size_t series = 0; series < series_.count; ++series) {
        tasks.push_back({s, series, first, last});
      }
      first = last;
    }
  }
  return tasks;
}

unsigned WindowScores::ChooseWorkers(unsigned requested) {
  std::uint32_t longest = 1;
  for (const WindowSet& set : plan_.sets) {
    longest = std::max(longest, set.n);
  }
  unsigned workers = std::max(requested, 1U);
  while (workers > 1 && SpanWithin(longest, workers) == 0) {
    --workers;
  }
  workers_ = workers;
  scratch_.resize(workers);
  return workers;
}

void WindowScores::RunHead(const WindowTask& task, std::size_t worker) {
  const WindowSet& set = plan_.sets[task.set];
  Scratch& scratch = scratch_[worker];
  scratch.transform.Prepare(series_.Get(set.source, task.series).data(), set.n, 0, 0);
  scratch.re.resize(set.n);
  scratch.im.resize(set.n);
  scratch.transform.Window(0, scratch.re.data(), scratch.im.data());
  NormalisedSpectrum(scratch.re.data(), scratch.im.data(), set.n,
                     scores_[task.set].heads[task.series]);
}

void WindowScores::RunWindows(const WindowTask& task, std::size_t worker,
                              const std::atomic<bool>* cancel) {
  const WindowSet& set = plan_.sets[task.set];
  SetScores& scores = scores_[task.set];
  Scratch& scratch = scratch_[worker];
  scratch.transform.Prepare(series_.Get(set.source, task.series).data(), set.n,
                            set.starts[task.first], set.starts[task.last - 1]);
  scratch.re.resize(set.n);
  scratch.im.resize(set.n);
  const std::size_t row = task.series * set.starts.size();
  for (std::size_t i = task.first; i < task.last; ++i) {
    if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
      return;
    }
    scratch.transform.Window(set.starts[i], scratch.re.data(), scratch.im.data());
    if ((set.needs[i] & WindowSet::kSingle) != 0) {
      scores.single[row + i] = SingleFramePeak(scratch.re.data(), scratch.im.data(), set.n);
    }
    if ((set.needs[i] & WindowSet::kHeadTail) != 0) {
      scores.headTail[row + i] = HeadTailPeak(scores.heads[task.series], scratch.re.data(),
                                              scratch.im.data(), set.n, scratch.tail);
    }
  }
}

WindowScores::FrameScores WindowScores::ScoresAt(const FrameRef& frame) const {
  const std::size_t s = plan_.SetOf(frame);
  const WindowSet& set = plan_.sets[s];
  const std::vector<double>& scores = frame.headTail ? scores_[s].headTail : scores_[s].single;
  return {scores.data() + set.IndexOf(frame.start), set.starts.size()};
}

}  // namespace tolvane
