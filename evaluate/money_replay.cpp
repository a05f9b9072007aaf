#include "evaluate/money_replay.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <random>

#include "evaluate/hit_tally.h"
#include "predict/tickets.h"

namespace tolvane {
namespace {

using Number = std::array<std::uint8_t, kMaxPlaces>;

// A fixed seed, so that every run gives the same figures.
constexpr std::uint64_t kSeed = 20241208;

Number DrawnNumber(const DrawHistory& history, std::uint32_t t) {
  const std::array<const WAData*, kMaxPlaces> places = PlaceSeries(history);
  Number number{};
  for (int p = 0; p < PlaceCount(history.game); ++p) {
    const auto at = static_cast<std::size_t>(p);
    number[at] = static_cast<std::uint8_t>(places[at]->data[t]);
  }
  return number;
}

// The number's digits read as one: 123, or 1234 with four places.
int ValueOf(const std::uint8_t* digits, int count) {
  int value = 0;
  for (int i = 0; i < count; ++i) {
    value = value * kDigitValues + digits[i];
  }
  return value;
}

// The digits in ascending order read as one: equal for equal multisets.
int MultisetKey(const std::uint8_t* digits, int count) {
  std::array<int, kDigitValues> held{};
  for (int i = 0; i < count; ++i) {
    ++held[digits[i]];
  }
  int key = 0;
  for (int digit = 0; digit < kDigitValues; ++digit) {
    for (int times = 0; times < held[static_cast<std::size_t>(digit)]; ++times) {
      key = key * kDigitValues + digit;
    }
  }
  return key;
}

// What a draw pays for one winning ticket of each kind: the actual payout where known, the
// theoretical one otherwise. Box and set are not sold on digits all alike: whatever a results
// file gives for them there (0 as a rule) is no payout, known or not.
struct DrawPays {
  Number number{};
  std::array<std::uint64_t, kPayoutKinds> yen{};
  std::array<bool, kPayoutKinds> actual{};
  bool alike = false;  // box and set not sold
};

DrawPays PaysOf(const DrawHistory& history, const std::vector<Payouts>& payouts, std::uint32_t t) {
  DrawPays pays;
  pays.number = DrawnNumber(history, t);
  pays.alike = DistinctOrders(pays.number, history.game) == 1;
  for (std::size_t kind = 0; kind < kPayoutKinds; ++kind) {
    const std::uint32_t known = t < payouts.size() ? payouts[t][kind] : 0;
    pays.actual[kind] = known != 0;
    pays.yen[kind] =
        known != 0 ? known
                   : TheoreticalPayout(static_cast<PayoutKind>(kind), pays.number, history.game);
  }
  return pays;
}

// The tickets of one ranking, looked up by what a drawn number must match: the number itself
// (straight), its multiset (box, set) or its tens and ones (mini). Each key is chosen once at
// most: the tickets of a kind are distinct numbers, multisets or pairs.
int KeyOf(BetType type, const std::uint8_t* digits, int count) {
  return type == BetType::Box || type == BetType::Set ? MultisetKey(digits, count)
                                                      : ValueOf(digits, count);
}

class ChosenTickets {
 public:
  ChosenTickets() { index_.fill(-1); }

  void Choose(const std::vector<Ticket>& tickets, BetType type) {
    for (const int key : marked_) {
      index_[static_cast<std::size_t>(key)] = -1;
    }
    marked_.clear();
    for (std::size_t i = 0; i < tickets.size(); ++i) {
      const int key = KeyOf(type, tickets[i].digits.data(), tickets[i].count);
      index_[static_cast<std::size_t>(key)] = static_cast<std::int16_t>(i);
      marked_.push_back(key);
    }
  }
  int Find(int key) const { return index_[static_cast<std::size_t>(key)]; }

 private:
  std::array<std::int16_t, 10000> index_{};
  std::vector<int> marked_;
};

// The yen the chosen tickets win on one draw; `hits` the winning tickets (0 or 1).
std::uint64_t Winnings(const std::vector<Ticket>& tickets, const ChosenTickets& chosen,
                       BetType type, const DrawPays& pays, Game game, std::uint32_t& hits) {
  hits = 0;
  const int places = PlaceCount(game);
  const int key = type == BetType::Mini ? ValueOf(pays.number.data() + places - 2, 2)
                                        : KeyOf(type, pays.number.data(), places);
  const int index = chosen.Find(key);
  if (index < 0) {
    return 0;
  }
  const std::optional<PayoutKind> kind =
      WinOf(type, tickets[static_cast<std::size_t>(index)], pays.number, game);
  if (!kind) {
    return 0;
  }
  hits = 1;
  return pays.yen[static_cast<std::size_t>(*kind)];
}

// ---- Random tickets ----

// One kind of draw for random tickets: the chance that N distinct random tickets hold at least
// one winner, and the chance of each number of winners beyond none (k = 1, 2, ...).
struct DrawClass {
  double anyWin = 0.0;
  std::vector<double> winnersGivenAny;  // cumulative, k = 1 upwards
  std::vector<std::uint32_t> draws;     // indices into the replayed draws
};

// Winners among n distinct tickets drawn from `space`, of which `good` win: hypergeometric.
DrawClass ClassOf(int space, int good, int n) {
  DrawClass drawClass;
  if (good <= 0) {
    return drawClass;
  }
  // P(K = 0) as a product, then each P(K = k + 1) from P(K = k).
  double none = 1.0;
  for (int i = 0; i < n; ++i) {
    none *= static_cast<double>(space - good - i) / static_cast<double>(space - i);
    if (none <= 0.0) {
      none = 0.0;
      break;
    }
  }
  drawClass.anyWin = 1.0 - none;
  std::vector<double> pmf;
  double p = none;
  for (int k = 0; k < std::min(good, n); ++k) {
    const double next = (space - good - n + k + 1) > 0
                            ? p * static_cast<double>((good - k) * (n - k)) /
                                  (static_cast<double>(k + 1) * (space - good - n + k + 1))
                            : 0.0;
    p = next;
    pmf.push_back(p);
  }
  // When every ticket is a winner's, the recurrence above cannot start from P(K = 0) = 0.
  if (none == 0.0) {
    pmf.assign(static_cast<std::size_t>(std::min(good, n)), 0.0);
    pmf.back() = 1.0;
  }
  double sum = 0.0;
  for (const double value : pmf) {
    sum += value;
    drawClass.winnersGivenAny.push_back(sum);
  }
  for (double& value : drawClass.winnersGivenAny) {
    value /= sum;
  }
  return drawClass;
}

// A uniform number in (0, 1] from the generator's 53 high bits, the same on every machine.
double Uniform(std::mt19937_64& random) {
  return static_cast<double>((random() >> 11) + 1) * 0x1.0p-53;
}

// Failures before the next success of chance q.
std::uint64_t Skip(std::mt19937_64& random, double q) {
  if (q >= 1.0) {
    return 0;
  }
  const double skip = std::floor(std::log(Uniform(random)) / std::log1p(-q));
  return skip >= 1e18 ? ~std::uint64_t{0} >> 1 : static_cast<std::uint64_t>(skip);
}

struct Baseline {
  double expectedReturn = 0.0;
  double low = 0.0;
  double high = 0.0;
  std::vector<std::uint64_t> totals;  // of the simulated strategies, ascending
  std::vector<MoneyBandPoint> band;   // its draws counted from the first replayed one
  // Exact when every draw pays one amount `constantPay` and hits at most once with chance q.
  bool exact = false;
  std::uint64_t constantPay = 0;
  double q = 0.0;
};

Baseline RandomBaseline(BetType type, int n, const std::vector<DrawPays>& draws, Game game,
                        bool keepBand) {
  const int places = PlaceCount(game);
  const int every = places == 4 ? 10000 : 1000;
  const int space = type == BetType::Mini       ? 100
                    : type == BetType::Straight ? every
                                                : every - kDigitValues;
  Baseline baseline;
  // Expected yen of one random ticket on each draw, and the classes of draws for simulating.
  std::vector<DrawClass> classes(static_cast<std::size_t>(every) + 1);
  std::vector<int> classOf(draws.size());
  double expected = 0.0;
  // The band's points each close a stretch of draws: draw t falls in stretch t * points / count.
  const std::uint64_t count = draws.size();
  const std::uint64_t points = keepBand ? std::min<std::uint64_t>(kBandPoints, count) : 0;
  const auto stretchOf = [&](std::uint64_t t) { return t * points / count; };
  std::vector<double> expectedIn(points);
  for (std::size_t t = 0; t < draws.size(); ++t) {
    const DrawPays& pays = draws[t];
    const int orders = DistinctOrders(pays.number, game);
    const auto yen = [&pays](PayoutKind kind) {
      return static_cast<double>(pays.yen[static_cast<std::size_t>(kind)]);
    };
    int good = 1;
    double ticketYen = 0.0;
    switch (type) {
      case BetType::Straight:
        ticketYen = yen(PayoutKind::Straight) / space;
        break;
      case BetType::Mini:
        ticketYen = yen(PayoutKind::Mini) / space;
        break;
      case BetType::Box:
        good = orders > 1 ? orders : 0;
        ticketYen = good * yen(PayoutKind::Box) / space;
        break;
      case BetType::Set:
        good = orders > 1 ? orders : 0;
        ticketYen =
            good == 0
                ? 0.0
                : (yen(PayoutKind::SetStraight) + (good - 1) * yen(PayoutKind::SetBox)) / space;
        break;
    }
    expected += ticketYen;
    if (points > 0) {
      expectedIn[stretchOf(t)] += ticketYen;
    }
    classOf[t] = good;
    classes[static_cast<std::size_t>(good)].draws.push_back(static_cast<std::uint32_t>(t));
  }
  baseline.expectedReturn =
      draws.empty() ? 0.0 : expected / (kTicketPrice * static_cast<double>(draws.size()));
  for (std::size_t good = 1; good < classes.size(); ++good) {
    if (!classes[good].draws.empty()) {
      std::vector<std::uint32_t> held = std::move(classes[good].draws);
      classes[good] = ClassOf(space, static_cast<int>(good), n);
      classes[good].draws = std::move(held);
    }
  }

  // The exact case: one payout on every draw, a single winner at most.
  if (type == BetType::Straight || type == BetType::Mini) {
    const std::size_t kind =
        static_cast<std::size_t>(type == BetType::Mini ? PayoutKind::Mini : PayoutKind::Straight);
    baseline.exact = std::all_of(draws.begin(), draws.end(), [&](const DrawPays& pays) {
      return pays.yen[kind] == draws.front().yen[kind];
    });
    baseline.constantPay = draws.empty() ? 0 : draws.front().yen[kind];
    baseline.q = static_cast<double>(n) / space;
  }

  std::mt19937_64 random(kSeed + static_cast<std::uint64_t>(type));
  baseline.totals.reserve(kRandomStrategies);
  std::vector<std::uint64_t> wonIn(points);
  // Each point's winnings so far, a strategy each.
  std::vector<std::vector<std::uint64_t>> sofar(points);
  for (std::vector<std::uint64_t>& column : sofar) {
    column.reserve(kRandomStrategies);
  }
  for (int strategy = 0; strategy < kRandomStrategies; ++strategy) {
    std::uint64_t total = 0;
    std::fill(wonIn.begin(), wonIn.end(), 0);
    for (const DrawClass& drawClass : classes) {
      if (drawClass.anyWin <= 0.0 || drawClass.draws.empty()) {
        continue;
      }
      for (std::uint64_t i = Skip(random, drawClass.anyWin); i < drawClass.draws.size();
           i += 1 + Skip(random, drawClass.anyWin)) {
        const DrawPays& pays = draws[drawClass.draws[i]];
        const double u = Uniform(random);
        const auto winners =
            static_cast<std::uint64_t>(std::lower_bound(drawClass.winnersGivenAny.begin(),
                                                        drawClass.winnersGivenAny.end(), u) -
                                       drawClass.winnersGivenAny.begin() + 1);
        std::uint64_t won = 0;
        switch (type) {
          case BetType::Straight:
            won = pays.yen[static_cast<std::size_t>(PayoutKind::Straight)];
            break;
          case BetType::Mini:
            won = pays.yen[static_cast<std::size_t>(PayoutKind::Mini)];
            break;
          case BetType::Box:
            won = winners * pays.yen[static_cast<std::size_t>(PayoutKind::Box)];
            break;
          case BetType::Set: {
            // Of the winners, the drawn order itself is one with chance winners / orders.
            const int orders = classOf[drawClass.draws[i]];
            const bool straight =
                Uniform(random) <= static_cast<double>(winners) / static_cast<double>(orders);
            won = (straight ? pays.yen[static_cast<std::size_t>(PayoutKind::SetStraight)] : 0) +
                  (winners - (straight ? 1 : 0)) *
                      pays.yen[static_cast<std::size_t>(PayoutKind::SetBox)];
            break;
          }
        }
        total += won;
        if (points > 0) {
          wonIn[stretchOf(drawClass.draws[i])] += won;
        }
      }
    }
    baseline.totals.push_back(total);
    std::uint64_t sum = 0;
    for (std::uint64_t point = 0; point < points; ++point) {
      sum += wonIn[point];
      sofar[point].push_back(sum);
    }
  }
  std::sort(baseline.totals.begin(), baseline.totals.end());
  // The middle 95 %: 2.5 % of the strategies below the range, 2.5 % above it.
  const std::size_t cut = kRandomStrategies / 40;
  double expectedSoFar = 0.0;
  for (std::uint64_t point = 0; point < points; ++point) {
    std::vector<std::uint64_t>& column = sofar[point];
    std::sort(column.begin(), column.end());
    expectedSoFar += expectedIn[point];
    // The last draw of the stretch: the one before the next stretch's first, ceil((p+1)n/points).
    const std::uint64_t through = ((point + 1) * count + points - 1) / points;
    baseline.band.push_back({static_cast<std::uint32_t>(through), n * expectedSoFar, column[cut],
                             column[kRandomStrategies - 1 - cut]});
  }
  const double cost = static_cast<double>(n) * kTicketPrice * static_cast<double>(draws.size());
  if (cost > 0.0) {
    baseline.low = static_cast<double>(baseline.totals[cut]) / cost;
    baseline.high = static_cast<double>(baseline.totals[kRandomStrategies - 1 - cut]) / cost;
  }
  return baseline;
}

double PValue(const Baseline& baseline, std::uint64_t winnings, std::uint32_t draws, bool& exact) {
  exact = baseline.exact;
  if (baseline.exact) {
    if (baseline.constantPay == 0) {
      return 1.0;
    }
    // At least as many yen is at least this many winning draws.
    const std::uint64_t wins = (winnings + baseline.constantPay - 1) / baseline.constantPay;
    return wins > draws ? 0.0
                        : BinomialUpperTail(draws, static_cast<std::uint32_t>(wins), baseline.q);
  }
  const auto notBelow = static_cast<double>(
      baseline.totals.end() -
      std::lower_bound(baseline.totals.begin(), baseline.totals.end(), winnings));
  return notBelow / kRandomStrategies;
}

}  // namespace

std::vector<std::vector<MoneyOutcome>> ReplayMoney(const DrawHistory& history,
                                                   const Evaluation& evaluation,
                                                   const std::vector<Payouts>& payouts,
                                                   const MoneyRequest& request,
                                                   const MoneyProgress& progress) {
  const Game game = history.game;
  std::vector<std::vector<MoneyOutcome>> outcomes(evaluation.runs.size());
  if (evaluation.runs.empty()) {
    return outcomes;
  }
  // Every run replays the same draws.
  const RunOutcome& first = evaluation.runs.front();
  std::vector<DrawPays> draws;
  draws.reserve(first.trials);
  for (std::uint32_t i = 0; i < first.trials; ++i) {
    draws.push_back(PaysOf(history, payouts, first.firstDraw - 1 + i));
  }

  const auto sold =
      static_cast<std::uint64_t>(std::count_if(request.bets.begin(), request.bets.end(),
                                               [game](BetType type) { return Sells(game, type); }));
  const std::uint64_t steps = sold * (1 + evaluation.runs.size());
  std::uint64_t done = 0;
  const auto step = [&progress, &done, steps] {
    ++done;
    if (progress) {
      progress(done, steps);
    }
  };

  for (const BetType type : request.bets) {
    if (!Sells(game, type)) {
      continue;
    }
    Baseline baseline = RandomBaseline(type, request.tickets, draws, game, request.keepDraws);
    step();
    for (MoneyBandPoint& point : baseline.band) {
      point.draw += first.firstDraw - 1;
    }
    for (std::size_t r = 0; r < evaluation.runs.size(); ++r) {
      const RunOutcome& run = evaluation.runs[r];
      MoneyOutcome outcome;
      outcome.bet = type;
      outcome.tickets = request.tickets;
      outcome.draws = run.trials;
      outcome.cost = static_cast<std::uint64_t>(request.tickets) * kTicketPrice * run.trials;
      ChosenTickets chosen;
      std::vector<Ticket> tickets;
      std::uint32_t chosenCycles = ~std::uint32_t{0};
      for (std::uint32_t i = 0; i < run.trials; ++i) {
        const std::uint32_t t = run.firstDraw - 1 + i;
        const std::uint32_t cycles = t / kCycleLength;
        if (cycles != chosenCycles) {
          tickets =
              TicketsOf(run.rankingsByCycles[cycles - run.firstCycles], type, request.tickets);
          chosen.Choose(tickets, type);
          chosenCycles = cycles;
        }
        const DrawPays& pays = draws[i];
        std::uint32_t hits = 0;
        const std::uint64_t won = Winnings(tickets, chosen, type, pays, game, hits);
        outcome.winnings += won;
        outcome.hits += hits;
        const std::size_t kind =
            static_cast<std::size_t>(type == BetType::Straight ? PayoutKind::Straight
                                     : type == BetType::Box    ? PayoutKind::Box
                                     : type == BetType::Set    ? PayoutKind::SetStraight
                                                               : PayoutKind::Mini);
        const bool sold = !pays.alike || type == BetType::Straight || type == BetType::Mini;
        outcome.actualPayouts += sold && pays.actual[kind] ? 1 : 0;
        outcome.notSold += sold ? 0 : 1;
        if (request.keepDraws) {
          outcome.perDraw.push_back({t + 1, pays.number, hits, won});
        }
      }
      outcome.returnRate = outcome.cost == 0 ? 0.0
                                             : static_cast<double>(outcome.winnings) /
                                                   static_cast<double>(outcome.cost);
      outcome.randomReturn = baseline.expectedReturn;
      outcome.randomLow = baseline.low;
      outcome.randomHigh = baseline.high;
      outcome.randomBand = baseline.band;
      outcome.pValue = PValue(baseline, outcome.winnings, outcome.draws, outcome.pExact);
      outcomes[r].push_back(std::move(outcome));
      step();
    }
  }
  return outcomes;
}

}  // namespace tolvane
