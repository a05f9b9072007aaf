#pragma once

#include <QString>

#include "evaluate/money_replay.h"

class QChart;

namespace tolvane {

// Fills `chart` with one run's balance for one kind (winnings less cost, in yen, summed draw by
// draw over `outcome.perDraw`), beside random tickets' expected balance and the range 95 % of
// random strategies' balances so far fall in, at each point of `outcome.randomBand`. The
// chart's old series go.
void PlotBalance(QChart& chart, const MoneyOutcome& outcome, const QString& title);

}  // namespace tolvane
