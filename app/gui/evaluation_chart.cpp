#include "app/gui/evaluation_chart.h"

#include <QAreaSeries>
#include <QBrush>
#include <QChart>
#include <QColor>
#include <QLineSeries>
#include <QPen>
#include <QValueAxis>
#include <algorithm>
#include <array>
#include <cmath>

#include "app/evaluation_table.h"
#include "app/gui/option_labels.h"

namespace tolvane {
namespace {

constexpr double kPercent = 100.0;

double Chance(int k) { return k / 10.0; }

}  // namespace

void ClearPlot(QChart& chart) {
  chart.removeAllSeries();
  for (QAbstractAxis* axis : chart.axes()) {
    chart.removeAxis(axis);
    delete axis;
  }
  chart.setTitle(QString());
}

void AttachAxes(QChart& chart, QAbstractAxis* x, QAbstractAxis* y) {
  chart.addAxis(x, Qt::AlignBottom);
  chart.addAxis(y, Qt::AlignLeft);
  for (QAbstractSeries* series : chart.series()) {
    series->attachAxis(x);
    series->attachAxis(y);
  }
}

void PlotRun(QChart& chart, const RunOutcome& run, Game game, const QString& title,
             bool difference) {
  ClearPlot(chart);
  chart.setTitle(title);

  // The band first, so the lines are drawn over it.
  auto* area = new QAreaSeries;
  auto* lower = new QLineSeries(area);  // the area series draws them but does not own them
  auto* upper = new QLineSeries(area);
  auto* chance = new QLineSeries;
  const auto base = [difference](int k) { return difference ? Chance(k) : 0.0; };
  double spread = 0.0;  // the band's widest reach from chance, for the difference scale
  for (int k = 1; k <= kMaxRank; ++k) {
    const ChanceBand band = ChanceBandAt(run.trials, Chance(k));
    lower->append(k, kPercent * (band.lower - base(k)));
    upper->append(k, kPercent * (band.upper - base(k)));
    chance->append(k, kPercent * (Chance(k) - base(k)));
    spread = std::max({spread, Chance(k) - band.lower, band.upper - Chance(k)});
  }
  area->setUpperSeries(upper);
  area->setLowerSeries(lower);
  area->setName(QStringLiteral("偶然の 95 % 範囲"));
  area->setColor(QColor(160, 160, 160, 90));
  area->setBorderColor(Qt::transparent);
  chart.addSeries(area);
  chance->setName(QStringLiteral("偶然 (k/10)"));
  chance->setPen(QPen(Qt::gray, 2, Qt::DashLine));
  chart.addSeries(chance);

  for (std::size_t p = 0; p < run.places.size(); ++p) {
    auto* place = new QLineSeries;
    place->setName(PlaceCaption(game, p));
    place->setPointsVisible(true);
    for (int k = 1; k <= kMaxRank; ++k) {
      const double hits = run.places[p].hits[static_cast<std::size_t>(k)];
      const double rate = run.trials == 0 ? 0.0 : hits / run.trials;
      place->append(k, kPercent * (rate - base(k)));
      spread = std::max(spread, std::abs(rate - Chance(k)));
    }
    chart.addSeries(place);
  }

  auto* x = new QValueAxis;
  x->setRange(1, kMaxRank);
  x->setTickCount(kMaxRank);
  x->setLabelFormat(QStringLiteral("%d"));
  x->setTitleText(QStringLiteral("k (上位 k 位までを的中とする)"));
  auto* y = new QValueAxis;
  if (difference) {
    const double reach = std::ceil(kPercent * spread * 1.1);
    y->setRange(-reach, reach);
    y->setLabelFormat(QStringLiteral("%+.1f"));
    y->setTitleText(QStringLiteral("的中率 − 偶然 (ポイント)"));
  } else {
    y->setRange(0, kPercent);
    y->setLabelFormat(QStringLiteral("%d %%"));
    y->setTitleText(QStringLiteral("的中率"));
  }
  AttachAxes(chart, x, y);
}

}  // namespace tolvane
