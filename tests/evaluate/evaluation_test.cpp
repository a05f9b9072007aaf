#include "evaluate/evaluation.h"

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "evaluate/window_scores.h"
#include "predict/digit_prediction.h"
#include "predict/narrow_texts.h"

namespace tolvane::test {
namespace {

// A history of random digits from a fixed seed.
OwnedHistory RandomHistory(std::uint32_t draws, unsigned seed, Game game = Game::kNumbers3) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> digit(0, 9);
  OwnedHistory history;
  history->game = game;
  const std::array<WAData*, kMaxPlaces> places = PlaceSeries(history.get());
  for (int p = 0; p < PlaceCount(game); ++p) {
    WAData* place = places[static_cast<std::size_t>(p)];
    *place = WAData{new double[draws], draws, 1};
    for (std::uint32_t i = 0; i < draws; ++i) {
      place->data[i] = digit(random);
    }
  }
  return history;
}

// The digits of a predictor's text, best first.
std::vector<int> ParseRanking(const std::string& text) {
  std::vector<int> digits;
  for (std::size_t i = kPowerSpectrumPrefix.size(); i < text.size(); i += 3) {
    digits.push_back(text[i] - '0');
  }
  return digits;
}

// The slow way: for each draw t (every stride-th from the first), run the text predictor on the
// first t draws and find the drawn digit in its ranking.
std::vector<TargetOutcome> BruteForce(const DrawHistory& history, const EvaluationRun& run,
                                      std::uint32_t firstDraw, std::uint32_t stride) {
  std::vector<TargetOutcome> rows;
  const std::array<const WAData*, kMaxPlaces> places = PlaceSeries(history);
  for (std::uint32_t t = firstDraw - 1; t < DrawCount(history); t += stride) {
    TargetOutcome row;
    row.draw = t + 1;
    for (std::size_t p = 0; p < static_cast<std::size_t>(PlaceCount(history.game)); ++p) {
      const WAData prefix{places[p]->data, t, 1};
      SpectrumRecord workspace{};
      const std::string text = run.filter == FilterKind::None
                                   ? PredictPowerSpectrumDigit(workspace, prefix, "", "")
                                   : PredictDigit(workspace, prefix, EngineCode(run.frame),
                                                  EngineCode(run.filter), "", "");
      const std::vector<int> ranking = ParseRanking(text);
      EXPECT_EQ(ranking.size(), 10U) << text;
      const int digit = static_cast<int>(places[p]->data[t]);
      row.digits[p] = digit;
      for (std::size_t i = 0; i < ranking.size(); ++i) {
        if (ranking[i] == digit) {
          row.ranks[p] = static_cast<int>(i) + 1;
        }
      }
    }
    rows.push_back(row);
  }
  return rows;
}

// want holds every stride-th of the rows got should hold.
void ExpectSameTargets(const std::vector<TargetOutcome>& got,
                       const std::vector<TargetOutcome>& want, std::size_t stride = 1) {
  ASSERT_EQ((got.size() + stride - 1) / stride, want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    const TargetOutcome& row = got[i * stride];
    ASSERT_EQ(row.draw, want[i].draw);
    ASSERT_EQ(row.digits, want[i].digits) << "draw " << want[i].draw;
    ASSERT_EQ(row.ranks, want[i].ranks) << "draw " << want[i].draw;
  }
}

// hits[k] and the mean rank counted straight from the rows.
void ExpectTallies(const RunOutcome& run, const std::vector<TargetOutcome>& rows) {
  const std::size_t places = run.places.size();
  for (int k = 1; k <= kMaxRank; ++k) {
    std::array<std::uint32_t, kMaxPlaces> place{};
    std::uint32_t all = 0;
    for (const TargetOutcome& row : rows) {
      bool allHit = true;
      for (std::size_t p = 0; p < places; ++p) {
        place[p] += row.ranks[p] <= k ? 1 : 0;
        allHit = allHit && row.ranks[p] <= k;
      }
      all += allHit ? 1 : 0;
    }
    const auto at = static_cast<std::size_t>(k);
    for (std::size_t p = 0; p < places; ++p) {
      EXPECT_EQ(run.places[p].hits[at], place[p]) << "k " << k;
    }
    EXPECT_EQ(run.allPlaces.hits[at], all) << "k " << k;
  }
  for (std::size_t p = 0; p < places; ++p) {
    double sum = 0;
    for (const TargetOutcome& row : rows) {
      sum += row.ranks[p];
    }
    EXPECT_DOUBLE_EQ(run.places[p].meanRank, sum / static_cast<double>(rows.size()));
  }
}

// Every ranking is the one the predictor gives on that prefix, for all nine runs.
TEST(Evaluation, MatchesPredictingEveryPrefix) {
  struct Case {
    std::uint32_t draws;
    std::optional<std::uint32_t> last;
    std::uint32_t firstDraw;
    std::uint32_t rankings;
    std::uint32_t stride = 1;  // check every stride-th draw only
    Game game = Game::kNumbers3;
  };
  const std::vector<Case> cases = {
      {16, std::nullopt, 16, 1},
      {30, std::nullopt, 16, 1},
      {100, std::nullopt, 16, 6},
      {100, 85, 16, 6},
      {100, 500, 16, 6},
      {100, 84, 17, 6},
      {301, std::nullopt, 16, 20},
      {301, 1, 301, 1},
      {301, 50, 252, 5},
      // Cycle counts 125 to 133: frames of 64 and of 128 values.
      {2000, 120, 1881, 9},
      // 128 to 266 cycles: more tail and centre frames of one length than one task takes.
      {4000, 2080, 1921, 139, 61},
      // Four places: the thousands ranked as every other place.
      {100, std::nullopt, 16, 6, 1, Game::kNumbers4},
      {2000, 120, 1881, 9, 1, Game::kNumbers4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("draws " + std::to_string(c.draws) + " last " +
                 (c.last ? std::to_string(*c.last) : "all") + " " + std::string(Word(c.game)));
    const OwnedHistory history = RandomHistory(c.draws, c.draws, c.game);
    EvaluationRequest request;
    request.last = c.last;
    request.threads = 2;
    const Evaluation evaluation = Evaluate(history.get(), request);
    ASSERT_EQ(evaluation.status, EvaluationStatus::Ok);
    EXPECT_EQ(evaluation.draws, c.draws);
    EXPECT_EQ(evaluation.game, c.game);
    ASSERT_EQ(evaluation.runs.size(), 9U);
    for (std::size_t r = 0; r < request.runs.size(); ++r) {
      const EvaluationRun& run = request.runs[r];
      const RunOutcome& outcome = evaluation.runs[r];
      SCOPED_TRACE(std::string(Word(run.filter)) + " " + std::string(Word(run.frame)));
      EXPECT_EQ(outcome.filter, run.filter);
      EXPECT_EQ(outcome.frame, run.filter == FilterKind::None
                                   ? std::nullopt
                                   : std::optional<FrameMode>(run.frame));
      EXPECT_EQ(outcome.firstDraw, c.firstDraw);
      EXPECT_EQ(outcome.trials, c.draws - c.firstDraw + 1);
      EXPECT_EQ(outcome.rankings, c.rankings);
      const std::vector<TargetOutcome> want = BruteForce(history.get(), run, c.firstDraw, c.stride);
      ExpectSameTargets(outcome.targets, want, c.stride);
      if (c.stride == 1) {
        ExpectTallies(outcome, want);
      }
    }
  }
}

void ExpectSameCounts(const HitCounts& a, const HitCounts& b) {
  EXPECT_EQ(a.hits, b.hits);
  EXPECT_EQ(a.pValues, b.pValues);
}

// Every field, compared exactly.
void ExpectSameEvaluation(const Evaluation& a, const Evaluation& b) {
  EXPECT_EQ(a.status, b.status);
  EXPECT_EQ(a.draws, b.draws);
  ASSERT_EQ(a.runs.size(), b.runs.size());
  for (std::size_t r = 0; r < a.runs.size(); ++r) {
    const RunOutcome& x = a.runs[r];
    const RunOutcome& y = b.runs[r];
    EXPECT_EQ(x.filter, y.filter);
    EXPECT_EQ(x.frame, y.frame);
    EXPECT_EQ(x.firstDraw, y.firstDraw);
    EXPECT_EQ(x.trials, y.trials);
    EXPECT_EQ(x.rankings, y.rankings);
    ASSERT_EQ(x.places.size(), y.places.size());
    for (std::size_t p = 0; p < x.places.size(); ++p) {
      ExpectSameCounts(x.places[p], y.places[p]);
      EXPECT_EQ(x.places[p].meanRank, y.places[p].meanRank);
    }
    ExpectSameCounts(x.allPlaces, y.allPlaces);
    ExpectSameTargets(x.targets, y.targets);
  }
}

// Many workers share narrower spans of starts (frames of 4,096 values: 64 starts for one
// worker, 8 each for 128 within the scratch budget): the scores are the same bits.
TEST(Evaluation, ThreadCountChangesNothing) {
  struct Case {
    std::uint32_t draws;
    std::optional<std::uint32_t> last;
    unsigned threads;
  };
  for (const Case& c : {Case{4000, std::nullopt, 3}, Case{62000, 400, 256}}) {
    SCOPED_TRACE(c.draws);
    const OwnedHistory history = RandomHistory(c.draws, 7);
    EvaluationRequest request;
    request.last = c.last;
    request.threads = 1;
    const Evaluation one = Evaluate(history.get(), request);
    request.threads = c.threads;
    const Evaluation many = Evaluate(history.get(), request);
    ASSERT_EQ(one.status, EvaluationStatus::Ok);
    ExpectSameEvaluation(one, many);
  }
}

// The workers share one scratch budget of 96 MiB: w workers each hold up to 16 x (span + 4) x n
// bytes, and a span below 8 starts is no sharing. So w is the most with
// floor(96 MiB / w) / (16 n) >= 12, whatever more were asked for.
TEST(Evaluation, WorkersShareTheScratchBudget) {
  struct Case {
    std::uint32_t n;
    unsigned requested;
    unsigned workers;
  };
  const Case cases[] = {
      {4096, 256, 128},  // 1536 / w >= 12
      {4096, 3, 3},      // as many as asked for
      {65536, 256, 8},   // 96 / w >= 12
      {65536, 0, 1},     // at least one
      {1U << 20, 4, 1},  // 6 / w >= 12 for no w: one worker, unbounded
      {1U << 16, 9, 8},  // nine would hold 10.6 spans' worth each
  };
  const DigitSeries series;
  for (const Case& c : cases) {
    WindowPlan plan;
    plan.sets.resize(1);
    plan.sets[0].n = c.n;
    WindowScores scores(plan, series);
    EXPECT_EQ(scores.ChooseWorkers(c.requested), c.workers) << c.n << " " << c.requested;
  }
}

// Progress comes on the calling thread, rising from 0 to the total; a cancel request, whether
// made before the start or from the progress callback, ends the evaluation without results.
TEST(Evaluation, ReportsProgressAndStopsWhenCancelled) {
  const OwnedHistory history = RandomHistory(700, 3);
  std::vector<std::pair<std::uint64_t, std::uint64_t>> calls;
  const std::thread::id caller = std::this_thread::get_id();
  EvaluationRequest request;
  request.threads = 3;
  request.keepTargets = false;
  request.progress = [&](std::uint64_t done, std::uint64_t total) {
    EXPECT_EQ(std::this_thread::get_id(), caller);
    calls.emplace_back(done, total);
  };
  const Evaluation finished = Evaluate(history.get(), request);
  ASSERT_EQ(finished.status, EvaluationStatus::Ok);
  EXPECT_TRUE(finished.runs.front().targets.empty());
  ASSERT_GE(calls.size(), 2U);
  const std::uint64_t total = calls.front().second;
  EXPECT_GT(total, 0U);
  EXPECT_EQ(calls.front().first, 0U);
  EXPECT_EQ(calls.back().first, total);
  for (std::size_t i = 1; i < calls.size(); ++i) {
    EXPECT_GE(calls[i].first, calls[i - 1].first);
    EXPECT_EQ(calls[i].second, total);
  }

  std::atomic<bool> cancel{true};
  request.cancel = &cancel;
  request.progress = nullptr;
  Evaluation stopped = Evaluate(history.get(), request);
  EXPECT_EQ(stopped.status, EvaluationStatus::Cancelled);
  EXPECT_TRUE(stopped.runs.empty());

  cancel = false;
  request.progress = [&cancel](std::uint64_t, std::uint64_t) { cancel = true; };
  stopped = Evaluate(history.get(), request);
  EXPECT_EQ(stopped.status, EvaluationStatus::Cancelled);
  EXPECT_TRUE(stopped.runs.empty());
  EXPECT_EQ(StatusText(stopped), "evaluation cancelled");
}

TEST(Evaluation, SaysWhyNothingWasEvaluated) {
  struct Case {
    std::uint32_t draws;
    std::uint32_t tensDraws;  // a different length makes the history unusable
    std::optional<std::uint32_t> last;
    std::uint32_t badValueAt;  // a value that is no digit at this draw, or past the end
    EvaluationStatus status;
    std::string text;
  };
  const std::vector<Case> cases = {
      {15, 15, std::nullopt, 99, EvaluationStatus::TooFewDraws,
       "no evaluation: the history holds 15 draws; an evaluation needs at least 16"},
      {0, 0, std::nullopt, 99, EvaluationStatus::TooFewDraws,
       "no evaluation: the history holds 0 draws; an evaluation needs at least 16"},
      {40, 39, std::nullopt, 99, EvaluationStatus::InvalidHistory, ""},
      {40, 40, std::nullopt, 20, EvaluationStatus::InvalidHistory, ""},
      // Only the replayed draws must be digits; the counts skip other values, as predict does.
      {40, 40, 10, 20, EvaluationStatus::Ok, ""},
      {40, 40, 0, 99, EvaluationStatus::NoDrawsToReplay, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("draws " + std::to_string(c.draws));
    OwnedHistory history = RandomHistory(c.draws, 5);
    if (c.tensDraws != c.draws) {
      history->tens.size = c.tensDraws;
    }
    if (c.badValueAt < c.draws) {
      history->ones.data[c.badValueAt] = 12.0;
    }
    EvaluationRequest request;
    request.last = c.last;
    const Evaluation evaluation = Evaluate(history.get(), request);
    EXPECT_EQ(evaluation.status, c.status);
    if (!c.text.empty()) {
      EXPECT_EQ(StatusText(evaluation), c.text);
    }
    if (c.status != EvaluationStatus::Ok) {
      EXPECT_TRUE(evaluation.runs.empty());
      EXPECT_FALSE(StatusText(evaluation).empty());
    }
  }
}

TEST(Evaluation, RunListsKeepTheirOrderAndDropRepeats) {
  const std::vector<EvaluationRun> runs =
      RunsFor({FilterKind::None, FilterKind::BandPass, FilterKind::None, FilterKind::BandPass},
              {FrameMode::Tail, FrameMode::Head, FrameMode::Tail});
  ASSERT_EQ(runs.size(), 3U);
  EXPECT_EQ(runs[0].filter, FilterKind::None);
  EXPECT_EQ(runs[1].filter, FilterKind::BandPass);
  EXPECT_EQ(runs[1].frame, FrameMode::Tail);
  EXPECT_EQ(runs[2].frame, FrameMode::Head);

  const std::vector<EvaluationRun> all = AllRuns();
  ASSERT_EQ(all.size(), 9U);
  EXPECT_EQ(all[0].filter, FilterKind::LowPass);
  EXPECT_EQ(all[0].frame, FrameMode::Head);
  EXPECT_EQ(all[3].frame, FrameMode::HeadTail);
  EXPECT_EQ(all[4].filter, FilterKind::BandPass);
  EXPECT_EQ(all[8].filter, FilterKind::None);
}

}  // namespace
}  // namespace tolvane::test
