#pragma once

#include <QString>

#include "evaluate/money_replay.h"

class QChart;

namespace tolvane {

// Fills `chart` with one run's balance for one kind (winnings less cost, in yen, summed draw by
// draw over `outcome.perDraw`), beside random tickets' expected balance and the band 95 % of
// random strategies end in. The library gives that range for the whole replay only, so the
// expected line and the band are that return carried back in proportion to the cost so far: a
// straight line each from 0, exact at the last draw. The chart's old series go.
void PlotBalance(QChart& chart, const MoneyOutcome& outcome, const QString& title);

}  // namespace tolvane
