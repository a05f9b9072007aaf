#include "app/gui/money_chart.h"

#include <QAreaSeries>
#include <QChart>
#include <QColor>
#include <QLineSeries>
#include <QPen>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "app/gui/evaluation_chart.h"

namespace tolvane {

void PlotBalance(QChart& chart, const MoneyOutcome& outcome, const QString& title) {
  ClearPlot(chart);
  chart.setTitle(title);
  if (outcome.perDraw.empty()) {
    return;
  }
  // From before the first replayed draw, when nothing has been spent yet, to after the last.
  const double start = outcome.perDraw.front().draw - 1.0;
  const double end = outcome.perDraw.back().draw;
  const double cost = static_cast<double>(outcome.cost);
  const double perDraw = static_cast<double>(outcome.tickets) * kTicketPrice;

  auto* area = new QAreaSeries;
  auto* lower = new QLineSeries(area);  // the area series draws them but does not own them
  auto* upper = new QLineSeries(area);
  lower->append(start, 0.0);
  lower->append(end, cost * (outcome.randomLow - 1.0));
  upper->append(start, 0.0);
  upper->append(end, cost * (outcome.randomHigh - 1.0));
  area->setUpperSeries(upper);
  area->setLowerSeries(lower);
  area->setName(QStringLiteral("無作為の 95 % 範囲"));
  area->setColor(QColor(160, 160, 160, 90));
  area->setBorderColor(Qt::transparent);
  chart.addSeries(area);

  auto* expected = new QLineSeries;
  expected->setName(QStringLiteral("無作為の期待値"));
  expected->setPen(QPen(Qt::gray, 2, Qt::DashLine));
  expected->append(start, 0.0);
  expected->append(end, cost * (outcome.randomReturn - 1.0));
  chart.addSeries(expected);

  auto* balance = new QLineSeries;
  balance->setName(QStringLiteral("収支"));
  double sum = 0.0;
  double low = std::min({0.0, cost * (outcome.randomLow - 1.0)});
  double high = std::max({0.0, cost * (outcome.randomHigh - 1.0)});
  QList<QPointF> points;
  points.reserve(static_cast<qsizetype>(outcome.perDraw.size()) + 1);
  points.append({start, 0.0});
  for (const MoneyDraw& draw : outcome.perDraw) {
    sum += static_cast<double>(draw.winnings) - perDraw;
    points.append({static_cast<double>(draw.draw), sum});
    low = std::min(low, sum);
    high = std::max(high, sum);
  }
  balance->replace(points);
  chart.addSeries(balance);

  auto* x = new QValueAxis;
  x->setRange(start, end);
  x->setLabelFormat(QStringLiteral("%d"));
  x->setTitleText(QStringLiteral("回 (履歴の何回目)"));
  auto* y = new QValueAxis;
  const double margin = std::max(1.0, 0.05 * (high - low));
  y->setRange(low - margin, high + margin);
  y->applyNiceNumbers();
  y->setLabelFormat(QStringLiteral("%.0f"));
  y->setTitleText(QStringLiteral("収支 (円)"));
  chart.addAxis(x, Qt::AlignBottom);
  chart.addAxis(y, Qt::AlignLeft);
  for (QAbstractSeries* series : chart.series()) {
    series->attachAxis(x);
    series->attachAxis(y);
  }
}

}  // namespace tolvane
