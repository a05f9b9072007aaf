#include "app/gui/place_spectra_box.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QGraphicsSimpleTextItem>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QList>
#include <QLogValueAxis>
#include <QPen>
#include <QPointF>
#include <QStringList>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <limits>

namespace tolvane {
namespace {

// One colour per digit value, the same in every place, so a digit is found again at a glance.
constexpr std::array<QRgb, kDigitValues> kDigitColours = {
    0x1f77b4, 0xff7f0e, 0x2ca02c, 0xd62728, 0x9467bd,
    0x8c564b, 0xe377c2, 0x7f7f7f, 0xbcbd22, 0x17becf,
};
// Scores read the same on the bars and on their axis: two decimals, ten labels side by side.
constexpr const char* kScoreFormat = "%.2f";
constexpr double kLabelGap = 2.0;  // pixels between a bar's top and its score
constexpr int kLegendRows = 5;     // two columns of five: whole at any chart height
constexpr double kLabelledDecades = 4.0;
constexpr int kChartMinimumHeight = 140;
constexpr int kCompactChartMinimumHeight = 96;
constexpr int kScoreTicks = 5;  // the axis's own default
constexpr int kCompactScoreTicks = 3;

QChartView* MakeChartView(QWidget* parent, const char* name) {
  auto* chart = new QChart();
  chart->setMargins(QMargins(2, 2, 2, 2));
  chart->setBackgroundRoundness(0);
  auto* view = new QChartView(chart, parent);
  view->setObjectName(QString::fromLatin1(name));
  view->setRenderHint(QPainter::Antialiasing);
  view->setMinimumSize(200, kChartMinimumHeight);
  return view;
}

// A chart a third of the window high leaves the vertical axes little room: in the usual font
// their labels and titles would be cut short.
void ShrinkFonts(QAbstractAxis& axis) {
  QFont labels = axis.labelsFont();
  labels.setPointSizeF(labels.pointSizeF() * 0.8);
  axis.setLabelsFont(labels);
  QFont title = axis.titleFont();
  title.setPointSizeF(title.pointSizeF() * 0.8);
  axis.setTitleFont(title);
}

// Spans the positive values on whole decades, so the log axis labels powers of ten; past
// kLabelledDecades decades only every other one, on even powers, so the labels keep room.
void SetDecadeRange(QLogValueAxis& axis, double low, double high) {
  if (!std::isfinite(low) || !(high >= low)) {  // nothing to draw
    axis.setBase(10.0);
    axis.setRange(0.1, 1.0);
    return;
  }
  double bottom = std::floor(std::log10(low));
  double top = std::max(std::ceil(std::log10(high)), bottom + 1.0);
  const bool sparse = top - bottom > kLabelledDecades;
  if (sparse) {
    bottom -= std::fmod(bottom, 2.0) != 0.0 ? 1.0 : 0.0;
    top += std::fmod(top, 2.0) != 0.0 ? 1.0 : 0.0;
  }
  axis.setBase(sparse ? 100.0 : 10.0);
  axis.setRange(std::pow(10.0, bottom), std::pow(10.0, top));
}

}  // namespace

PlaceSpectraBox::PlaceSpectraBox(const QString& title, QWidget* parent)
    : QGroupBox(title, parent),
      spectrumView_(MakeChartView(this, "spectrumChart")),
      scoreView_(MakeChartView(this, "scoreChart")),
      note_(new QLabel(this)) {
  note_->setObjectName(QStringLiteral("placeNote"));
  note_->setTextFormat(Qt::PlainText);
  note_->hide();

  QChart* spectrum = spectrumView_->chart();
  spectrum->legend()->hide();
  auto* legend = new QWidget(this);
  legend->setObjectName(QStringLiteral("spectrumLegend"));
  auto* legendGrid = new QGridLayout(legend);
  legendGrid->setContentsMargins(0, 0, 0, 0);
  legendGrid->setVerticalSpacing(2);
  QFont legendFont = legend->font();
  legendFont.setPointSizeF(legendFont.pointSizeF() * 0.85);
  for (std::size_t rank = 0; rank < legend_.size(); ++rank) {
    legend_[rank] = new QLabel(legend);
    legend_[rank]->setTextFormat(Qt::RichText);
    legend_[rank]->setFont(legendFont);
    legendGrid->addWidget(legend_[rank], static_cast<int>(rank) % kLegendRows,
                          static_cast<int>(rank) / kLegendRows);
  }
  auto* bins = new QValueAxis(spectrum);
  bins->setTitleText(QStringLiteral("ビン"));
  bins->setLabelFormat(QStringLiteral("%d"));
  spectrum->addAxis(bins, Qt::AlignBottom);
  // The constant term outweighs the other bins about a hundredfold; only a log scale shows both.
  auto* power = new QLogValueAxis(spectrum);
  power->setTitleText(QStringLiteral("パワー (対数)"));
  power->setLabelFormat(QStringLiteral("%g"));
  power->setMinorTickCount(-1);
  ShrinkFonts(*power);
  spectrum->addAxis(power, Qt::AlignLeft);

  QChart* scores = scoreView_->chart();
  scores->legend()->hide();
  auto* digits = new QBarCategoryAxis(scores);
  digits->setTitleText(QStringLiteral("数字 (順位順)"));
  scores->addAxis(digits, Qt::AlignBottom);
  auto* peak = new QValueAxis(scores);
  peak->setTitleText(QStringLiteral("スコア (ピーク)"));
  peak->setLabelFormat(QString::fromLatin1(kScoreFormat));
  peak->setGridLineVisible(false);  // every bar carries its value; lines would cross the labels
  ShrinkFonts(*peak);
  scores->addAxis(peak, Qt::AlignLeft);
  // The scores' labels stand above their bars at any plot height, once the layout has placed it.
  connect(scores, &QChart::plotAreaChanged, this, &PlaceSpectraBox::FitScoreLabels);

  auto* charts = new QHBoxLayout();
  charts->addWidget(spectrumView_, 3);
  charts->addWidget(legend, 0, Qt::AlignVCenter);
  charts->addWidget(scoreView_, 2);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addLayout(charts);
  layout->addWidget(note_);
  ShowRanking(nullptr);
}

void PlaceSpectraBox::SetCompact(bool compact) {
  if (compact == compact_) {
    return;
  }
  compact_ = compact;
  for (QChartView* view : {spectrumView_, scoreView_}) {
    view->setMinimumHeight(compact ? kCompactChartMinimumHeight : kChartMinimumHeight);
    for (QAbstractAxis* axis : view->chart()->axes()) {
      axis->setTitleVisible(!compact);
    }
  }
  // The scores' nice numbers start from this count.
  if (auto* peak = qobject_cast<QValueAxis*>(scoreView_->chart()->axes(Qt::Vertical).value(0))) {
    peak->setTickCount(compact ? kCompactScoreTicks : kScoreTicks);
  }
}

void PlaceSpectraBox::ShowRanking(const DigitRanking* ranking) {
  spectrumView_->chart()->removeAllSeries();
  scoreView_->chart()->removeAllSeries();
  qDeleteAll(scoreLabels_);
  scoreLabels_.clear();
  omitted_ = false;
  for (QLabel* entry : legend_) {
    entry->clear();
  }
  if (ranking == nullptr) {
    note_->hide();
    return;
  }
  if (!ranking->ok) {
    note_->setText(QStringLiteral("この位には順位がありません (予想は Error)。"));
    note_->show();
    return;
  }
  ShowSpectra(*ranking);
  ShowScores(*ranking);
  QString note;
  if (ranking->spectra[0].empty()) {
    note = QStringLiteral("スペクトルは、この窓を開いたあとの予想から表示します。");
  } else if (omitted_) {
    note = QStringLiteral("描けない値 (無限大・非数・0 以下) は省いています。");
  }
  note_->setText(note);
  note_->setVisible(!note.isEmpty());
}

void PlaceSpectraBox::ShowSpectra(const DigitRanking& ranking) {
  QChart* chart = spectrumView_->chart();
  auto* bins = qobject_cast<QValueAxis*>(chart->axes(Qt::Horizontal).value(0));
  auto* power = qobject_cast<QLogValueAxis*>(chart->axes(Qt::Vertical).value(0));
  double low = std::numeric_limits<double>::infinity();
  double high = 0.0;
  std::size_t lastBin = 0;
  for (std::size_t rank = 0; rank < ranking.ranking.size(); ++rank) {
    const int digit = ranking.ranking[rank];
    const auto& values = ranking.spectra.at(static_cast<std::size_t>(digit));
    if (values.empty()) {
      continue;
    }
    // The upper half mirrors the lower; bins 0 to n/2 say it all.
    lastBin = std::max(lastBin, values.size() / 2);
    QList<QPointF> points;
    for (std::size_t bin = 0; bin <= values.size() / 2; ++bin) {
      const double value = values[bin];
      if (!std::isfinite(value) || !(value > 0.0)) {
        omitted_ = true;
        continue;
      }
      low = std::min(low, value);
      high = std::max(high, value);
      points.append(QPointF(static_cast<double>(bin), value));
    }
    const QColor colour(kDigitColours.at(static_cast<std::size_t>(digit)));
    auto* line = new QLineSeries(chart);
    line->setName(QStringLiteral("%1 (%2位)").arg(digit).arg(rank + 1));
    line->setPen(QPen(colour, 1.5));
    legend_.at(rank)->setText(
        QStringLiteral("<span style=\"color:%1\">■</span> %2").arg(colour.name(), line->name()));
    line->replace(points);
    chart->addSeries(line);
    line->attachAxis(bins);
    line->attachAxis(power);
  }
  // A tick on every bin up to 8 bins, on every eighth of the range above.
  const std::size_t lastTick = std::clamp<std::size_t>(lastBin, 1, 8);
  bins->setRange(0.0, static_cast<double>(std::max<std::size_t>(lastBin, 1)));
  bins->setTickCount(static_cast<int>(lastTick) + 1);
  SetDecadeRange(*power, low, high);
}

void PlaceSpectraBox::ShowScores(const DigitRanking& ranking) {
  QChart* chart = scoreView_->chart();
  auto* digits = qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Horizontal).value(0));
  auto* peak = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).value(0));
  auto* set = new QBarSet(QStringLiteral("スコア"));
  QStringList categories;
  double high = 0.0;
  for (const int digit : ranking.ranking) {
    double score = ranking.scores.at(static_cast<std::size_t>(digit));
    if (!std::isfinite(score)) {
      omitted_ = true;
      score = 0.0;
    }
    high = std::max(high, score);
    set->append(score);
    categories.append(QString::number(digit));
  }
  auto* bars = new QBarSeries(chart);
  bars->append(set);
  chart->addSeries(bars);
  digits->setCategories(categories);
  bars->attachAxis(digits);
  bars->attachAxis(peak);
  // The series' own labels sit inside the bar when the plot has no room above it and drop
  // trailing zeros; these are placed by hand, in the axis's format.
  QFont labelFont = set->labelFont();
  labelFont.setPointSizeF(labelFont.pointSizeF() * 0.8);
  for (qsizetype rank = 0; rank < set->count(); ++rank) {
    auto* label =
        new QGraphicsSimpleTextItem(QString::asprintf(kScoreFormat, set->at(rank)), chart);
    label->setFont(labelFont);
    label->setData(0, QStringLiteral("scoreLabel"));
    label->setZValue(1.0);
    scoreLabels_.append(label);
  }
  scoresHigh_ = high;
  fittedTop_ = 0.0;
  FitScoreLabels();
}

void PlaceSpectraBox::FitScoreLabels() {
  QChart* chart = scoreView_->chart();
  auto* bars = qobject_cast<QBarSeries*>(chart->series().value(0));
  auto* peak = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).value(0));
  if (bars == nullptr || peak == nullptr || bars->barSets().isEmpty()) {
    return;
  }
  // Room above the tallest bar for a label: the axis reaches past it by a label's height.
  const double plotHeight = chart->plotArea().height();
  const double labelHeight =
      scoreLabels_.isEmpty() ? 0.0 : QFontMetricsF(scoreLabels_.front()->font()).height();
  const double barRoom = std::max(plotHeight - labelHeight - 2 * kLabelGap, plotHeight / 2);
  const double top = !(scoresHigh_ > 0.0) ? 1.0
                     : plotHeight > 0.0   ? scoresHigh_ * plotHeight / barRoom
                                          : scoresHigh_ * 1.1;
  if (top != fittedTop_) {  // a new range moves the axis, and with it the plot, sideways only
    fittedTop_ = top;
    peak->setRange(0.0, top);
    peak->applyNiceNumbers();
  }
  const QBarSet* set = bars->barSets().front();
  for (qsizetype rank = 0; rank < scoreLabels_.size() && rank < set->count(); ++rank) {
    QGraphicsSimpleTextItem* label = scoreLabels_[rank];
    const QPointF barTop =
        chart->mapToPosition(QPointF(static_cast<double>(rank), set->at(rank)), bars);
    const QRectF box = label->boundingRect();
    label->setPos(barTop.x() - box.width() / 2, barTop.y() - kLabelGap - box.height());
  }
}

}  // namespace tolvane
