#pragma once

#include <QString>

#include "evaluate/evaluation.h"

class QAbstractAxis;
class QChart;

namespace tolvane {

// Fills `chart` with one run's hit rate against k for every place of `game`, beside the chance
// line k/10 and the band a random ranking stays in 95 % of the time. With `difference` every
// value is drawn less the chance k/10, so the chance line lies at 0 and small departures show.
// The chart's old series go.
void PlotRun(QChart& chart, const RunOutcome& run, Game game, const QString& title,
             bool difference);

// Leaves `chart` empty: no series, no axes, no title.
void ClearPlot(QChart& chart);

// Puts `x` below and `y` left of `chart`, which takes them, and draws every series on them.
void AttachAxes(QChart& chart, QAbstractAxis* x, QAbstractAxis* y);

}  // namespace tolvane
