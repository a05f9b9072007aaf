#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "evaluate/digit_series.h"
#include "evaluate/frame_peaks.h"
#include "evaluate/shared_transform.h"
#include "evaluate/window_plan.h"

namespace tolvane {

// One unit of work: for one digit series of one window set, either the head frame's spectrum
// (which the head-and-tail scores need first) or the scores of the starts first..last-1.
struct WindowTask {
  std::size_t set = 0;
  std::size_t series = 0;
  std::size_t first = 0;
  std::size_t last = 0;
};

// The scratch memory all workers together may hold beyond a single worker's: it bounds the peak
// however many threads a caller asks for. Each worker's grows with the frame length and with
// how many starts one task shares (its span), so more workers share narrower spans, and a frame
// length too long for even kNarrowestSharedSpan starts per worker gets fewer workers.
inline constexpr std::size_t kScratchBudget = std::size_t{96} << 20;
inline constexpr std::uint32_t kNarrowestSharedSpan = 8;

// The scores of every planned frame of every digit series. Tasks write disjoint entries, so
// they may run on any threads in any order, with the same results.
class WindowScores {
 public:
  WindowScores(const WindowPlan& plan, const DigitSeries& series);

  // How many workers (at most `requested`) share the tasks within kScratchBudget; each worker
  // thread has its own scratch, and worker is below this count. Call before WindowTasks, whose
  // spans follow it.
  unsigned ChooseWorkers(unsigned requested);

  // Head spectra first; window tasks only once every head task has finished.
  std::vector<WindowTask> HeadTasks() const;
  std::vector<WindowTask> WindowTasks() const;
  void RunHead(const WindowTask& task, std::size_t worker);
  // Stops between windows once cancel reads true.
  void RunWindows(const WindowTask& task, std::size_t worker, const std::atomic<bool>* cancel);

  // The digit series' scores at a planned frame: [SeriesIndex(place, digit)].
  struct FrameScores {
    const double* first;
    std::size_t stride;
    double operator[](std::size_t series) const { return first[series * stride]; }
  };
  FrameScores ScoresAt(const FrameRef& frame) const;

 private:
  struct SetScores {
    std::vector<double> single;        // [series * windows + index]
    std::vector<double> headTail;      // the same, for sets with head-and-tail frames
    std::vector<FrameSpectrum> heads;  // per series
  };

  // Arrays one worker reuses from task to task.
  struct Scratch {
    SharedStageTransform transform;
    std::vector<double> re;
    std::vector<double> im;
    FrameSpectrum tail;
  };

  const WindowPlan& plan_;
  const DigitSeries& series_;
  std::vector<SetScores> scores_;
  std::vector<Scratch> scratch_;
  unsigned workers_ = 1;
};

}  // namespace tolvane
