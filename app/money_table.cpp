#include "app/money_table.h"

#include <algorithm>

#include "app/evaluation_table.h"
#include "core/shortest_text.h"
#include "predict/prediction_options.h"
#include "predict/tickets.h"

namespace tolvane {
namespace {

std::string_view BetLabel(BetType type) {
  for (const OptionEntry<BetType>& entry : kBetTypes) {
    if (entry.kind == type) {
      return entry.label;
    }
  }
  return {};
}

}  // namespace

std::string GroupedYen(std::uint64_t value) {
  const std::string digits = std::to_string(value);
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i != 0 && (digits.size() - i) % 3 == 0) {
      grouped += ',';
    }
    grouped += digits[i];
  }
  return grouped;
}

std::string MoneyCsv(const Evaluation& evaluation,
                     const std::vector<std::vector<MoneyOutcome>>& outcomes) {
  std::string csv =
      "filter,frame,bet,tickets,draws,cost,winnings,return,hits,random_return,random_low,"
      "random_high,p_value,p_value_from,actual_payouts\n";
  for (std::size_t r = 0; r < evaluation.runs.size() && r < outcomes.size(); ++r) {
    const RunOutcome& run = evaluation.runs[r];
    for (const MoneyOutcome& outcome : outcomes[r]) {
      csv += std::string(Word(run.filter)) + "," +
             (run.frame ? std::string(Word(*run.frame)) : std::string()) + "," +
             std::string(Word(outcome.bet)) + "," + std::to_string(outcome.tickets) + "," +
             std::to_string(outcome.draws) + "," + std::to_string(outcome.cost) + "," +
             std::to_string(outcome.winnings) + "," + ShortestText(outcome.returnRate) + "," +
             std::to_string(outcome.hits) + "," + ShortestText(outcome.randomReturn) + "," +
             ShortestText(outcome.randomLow) + "," + ShortestText(outcome.randomHigh) + "," +
             ShortestText(outcome.pValue) + "," + (outcome.pExact ? "exact" : "simulation") + "," +
             std::to_string(outcome.actualPayouts) + "\n";
    }
  }
  return csv;
}

std::string NextTicketsText(const std::vector<DigitRanking>& places, Game game,
                            const std::vector<BetType>& bets, int n) {
  const bool ranked = !places.empty() && std::all_of(places.begin(), places.end(),
                                                     [](const DigitRanking& p) { return p.ok; });
  if (!ranked || n < 1) {
    return {};
  }
  std::vector<DigitOrder> ranking;
  ranking.reserve(places.size());
  for (const DigitRanking& place : places) {
    ranking.push_back(place.ranking);
  }
  std::string text;
  for (const BetType type : bets) {
    if (!Sells(game, type)) {
      continue;
    }
    // A count chosen for the other game may exceed what this one sells of the kind.
    const int count = std::min(n, DistinctTickets(game, type));
    std::string line = "買い目 " + std::string(BetLabel(type)) + " " + std::to_string(count) +
                       " 口 (" + GroupedYen(static_cast<std::uint64_t>(count) * kTicketPrice) +
                       " 円):";
    const std::vector<Ticket> tickets = TicketsOf(ranking, type, count);
    for (std::size_t i = 0; i < tickets.size(); ++i) {
      line += (i == 0 ? " " : ", ") + tickets[i].Text();
    }
    text += (text.empty() ? "" : "\n") + line;
  }
  return text;
}

}  // namespace tolvane
