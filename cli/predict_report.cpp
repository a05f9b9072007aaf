#include "cli/predict_report.h"

#include <nlohmann/json.hpp>

#include "cli/output_format.h"
#include "core/game.h"
#include "core/shortest_text.h"

namespace tolvane::cli {

TicketsByBet NextTickets(const PredictionAnalysis& analysis, const std::vector<BetType>& bets,
                         int tickets) {
  std::vector<DigitOrder> ranking;
  for (const DigitRanking& place : analysis.places) {
    ranking.push_back(place.ranking);
  }
  TicketsByBet chosen;
  for (const BetType type : bets) {
    chosen.emplace_back(type, TicketsOf(ranking, type, tickets));
  }
  return chosen;
}

std::string TicketsText(const TicketsByBet& tickets) {
  std::string text;
  for (const auto& [type, chosen] : tickets) {
    text += "買い目 " + std::string(kBetTypes[static_cast<std::size_t>(type)].label) + " " +
            std::to_string(chosen.size()) + " 口 (" +
            Grouped(chosen.size() * static_cast<std::uint64_t>(kTicketPrice)) + " 円):";
    for (std::size_t i = 0; i < chosen.size(); ++i) {
      text += (i == 0 ? " " : ", ") + chosen[i].Text();
    }
    text += "\n";
  }
  return text;
}

std::string TicketsCsv(const TicketsByBet& tickets) {
  std::string csv = "bet,order,ticket\n";
  for (const auto& [type, chosen] : tickets) {
    for (std::size_t i = 0; i < chosen.size(); ++i) {
      csv += std::string(Word(type)) + "," + std::to_string(i + 1) + "," + chosen[i].Text() + "\n";
    }
  }
  return csv;
}

std::string AnalysisJson(const PredictionAnalysis& analysis, const TicketsByBet& tickets) {
  // ordered_json keeps the keys in the order written; its numbers print the shortest text that
  // reads back as the same double.
  using nlohmann::ordered_json;
  ordered_json spans = ordered_json::array();
  for (const CycleSpan& span : analysis.transformedCycles) {
    spans.push_back({span.start, span.end});
  }
  ordered_json places = ordered_json::array();
  for (std::size_t place = 0; place < analysis.places.size(); ++place) {
    const DigitRanking& ranking = analysis.places[place];
    ordered_json entry;
    entry["place"] = PlaceWord(analysis.game, static_cast<int>(place));
    entry["ranking"] = ranking.ranking;
    entry["scores"] = ranking.scores;
    places.push_back(std::move(entry));
  }
  ordered_json json;
  json["game"] = Word(analysis.game);
  json["round"] = analysis.round;
  json["draws"] = analysis.draws;
  json["cycles"] = analysis.cycles;
  json["filter"] = Word(analysis.filter);
  json["frame"] = analysis.filter == FilterKind::None ? ordered_json(nullptr)
                                                      : ordered_json(Word(analysis.frame));
  json["transformed_cycles"] = std::move(spans);
  json["places"] = std::move(places);
  if (!tickets.empty()) {
    ordered_json byBet = ordered_json::object();
    for (const auto& [type, chosen] : tickets) {
      ordered_json texts = ordered_json::array();
      for (const Ticket& ticket : chosen) {
        texts.push_back(ticket.Text());
      }
      byBet[std::string(Word(type))] = std::move(texts);
    }
    json["tickets"] = std::move(byBet);
  }
  return json.dump() + '\n';
}

std::string AnalysisCsv(const PredictionAnalysis& analysis) {
  std::string csv = "place,rank,digit,score\n";
  for (std::size_t place = 0; place < analysis.places.size(); ++place) {
    const DigitRanking& ranking = analysis.places[place];
    for (std::size_t rank = 0; rank < ranking.ranking.size(); ++rank) {
      const int digit = ranking.ranking[rank];
      csv += std::string(PlaceWord(analysis.game, static_cast<int>(place))) + ',' +
             std::to_string(rank + 1) + ',' + std::to_string(digit) + ',' +
             ShortestText(ranking.scores[static_cast<std::size_t>(digit)]) + '\n';
    }
  }
  return csv;
}

}  // namespace tolvane::cli
