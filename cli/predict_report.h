#pragma once

#include <string>
#include <utility>
#include <vector>

#include "app/prediction_analysis.h"
#include "core/bets.h"
#include "predict/tickets.h"

namespace tolvane::cli {

// The next draw's tickets of each kind asked for, as the analysis' rankings pick them.
using TicketsByBet = std::vector<std::pair<BetType, std::vector<Ticket>>>;
TicketsByBet NextTickets(const PredictionAnalysis& analysis, const std::vector<BetType>& bets,
                         int tickets);

// A line a kind: "買い目 ストレート 5 口 (1,000 円): 276, 273, ...".
std::string TicketsText(const TicketsByBet& tickets);
// "bet,order,ticket", then a row a ticket, each kind's in order from 1.
std::string TicketsCsv(const TicketsByBet& tickets);

// One JSON object, ending in a line feed: game, round, draws, cycles, filter, frame (null without a
// filter), transformed_cycles as [start, end) pairs, and per place its ranking (best first) and
// scores (by digit). Keys in that order; doubles read back as the same double.
// With tickets, a last key "tickets" holds each kind's: {"straight": ["276", ...], ...}.
std::string AnalysisJson(const PredictionAnalysis& analysis, const TicketsByBet& tickets = {});

// "place,rank,digit,score", then one row per place and rank (rank 1 first), each ending in a line
// feed; scores read back as the same double.
std::string AnalysisCsv(const PredictionAnalysis& analysis);

}  // namespace tolvane::cli
