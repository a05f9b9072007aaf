#include "app/gui/money_chart.h"

#include <QAreaSeries>
#include <QChart>
#include <QColor>
#include <QLineSeries>
#include <QLocale>
#include <QPen>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <cstdint>

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
  const double perDraw = static_cast<double>(outcome.tickets) * kTicketPrice;

  // Random tickets' balance at each point of the band: winnings so far less what they cost.
  const auto spent = [&](std::uint32_t draw) { return (draw - start) * perDraw; };
  auto* area = new QAreaSeries;
  auto* lower = new QLineSeries(area);  // the area series draws them but does not own them
  auto* upper = new QLineSeries(area);
  auto* expected = new QLineSeries;
  lower->append(start, 0.0);
  upper->append(start, 0.0);
  expected->append(start, 0.0);
  double low = 0.0;
  double high = 0.0;
  for (const MoneyBandPoint& point : outcome.randomBand) {
    const double x = point.draw;
    const double lowBalance = static_cast<double>(point.low) - spent(point.draw);
    const double highBalance = static_cast<double>(point.high) - spent(point.draw);
    lower->append(x, lowBalance);
    upper->append(x, highBalance);
    expected->append(x, point.expected - spent(point.draw));
    low = std::min(low, lowBalance);
    high = std::max(high, highBalance);
  }
  area->setUpperSeries(upper);
  area->setLowerSeries(lower);
  area->setName(QStringLiteral("無作為の 95 % 範囲"));
  area->setColor(QColor(160, 160, 160, 90));
  area->setBorderColor(Qt::transparent);
  chart.addSeries(area);

  expected->setName(QStringLiteral("無作為の期待値"));
  expected->setPen(QPen(Qt::gray, 2, Qt::DashLine));
  chart.addSeries(expected);

  auto* balance = new QLineSeries;
  balance->setName(QStringLiteral("収支"));
  double sum = 0.0;
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
  // "%d" would draw no labels at all once the chart localises its numbers.
  x->setLabelFormat(QStringLiteral("%.0f"));
  // Ticks on round draw numbers (1, 2 or 5 times a power of ten), about five of them.
  const double rough = std::max(1.0, (end - start) / 5.0);
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  const double step = rough / power < 2.0 ? power : rough / power < 5.0 ? 2.0 * power : 5.0 * power;
  x->setTickType(QValueAxis::TicksDynamic);
  x->setTickAnchor(0.0);
  x->setTickInterval(step);
  x->setTitleText(QStringLiteral("回 (履歴の何回目)"));
  auto* y = new QValueAxis;
  const double margin = std::max(1.0, 0.05 * (high - low));
  y->setRange(low - margin, high + margin);
  y->applyNiceNumbers();
  y->setLabelFormat(QStringLiteral("%.0f"));
  // Yen grouped by thousands (-6,000,000) as in the table; Qt's C locale would omit the commas.
  chart.setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
  chart.setLocalizeNumbers(true);
  y->setTitleText(QStringLiteral("収支 (円)"));
  AttachAxes(chart, x, y);
}

}  // namespace tolvane
