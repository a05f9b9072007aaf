#include "app/gui/statistics_window.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <climits>

#include "app/analysis_history.h"
#include "app/gui/message_box.h"
#include "app/gui/modal.h"
#include "app/gui/option_labels.h"
#include "app/gui/save_file.h"
#include "app/gui/window_placement.h"
#include "app/messages.h"
#include "app/statistics_report.h"

namespace tolvane {
namespace {

constexpr char16_t kNoStatisticsText[] = u"この履歴からは統計を出せません。";
constexpr char16_t kNotDrawnText[] = u"—";

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

// The explanation under the charts: what the p-value and the table mean for a player.
QString Explanation(int places) {
  return QStringLiteral(
             "p 値が %1 以下の位は、数字の出方が公平な抽せん（どの数字も毎回 1/10）では"
             "まず起きないほど偏っています（5 % 水準を%2つの位でボンフェローニ補正）。"
             "公平な抽せんでは、しばらく出ていない数字も、よく出ている数字も、次に出る確率は"
             "同じ 1/10 です。")
      .arg(Text(ShortNumber(FairDrawLevel(places), 3)),
           places == PlaceCount(Game::kNumbers4) ? QStringLiteral("四") : QStringLiteral("三"));
}

// Two lines: the chart's title is rich text, where a line break is <br>.
QString ChartTitle(Game game, int place, const PlaceStatistics& counts) {
  return QStringLiteral("%1  χ² = %2, p = %3<br>%4")
      .arg(PlaceCaption(game, static_cast<std::size_t>(place)),
           Text(ShortNumber(counts.chiSquare, 4)), Text(ShortNumber(counts.pValue, 3)),
           ConsistentWithFairDraw(counts.pValue, PlaceCount(game))
               ? QStringLiteral("公平な抽せんと矛盾しません")
               : QStringLiteral("公平な抽せんとは考えにくい偏り"));
}

}  // namespace

StatisticsWindow::StatisticsWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("statisticsWindow"));
  setWindowTitle(QStringLiteral("数字の統計"));

  lastSpin_ = new QSpinBox(this);
  lastSpin_->setObjectName(QStringLiteral("lastSpin"));
  lastSpin_->setSpecialValueText(QStringLiteral("すべて"));
  lastSpin_->setSuffix(QStringLiteral(" 回"));
  rangeLabel_ = new QLabel(this);
  rangeLabel_->setObjectName(QStringLiteral("rangeLabel"));
  auto* save = new QPushButton(QStringLiteral("保存"), this);
  save->setObjectName(QStringLiteral("saveButton"));
  connect(lastSpin_, &QSpinBox::valueChanged, this, &StatisticsWindow::OnLastChanged);
  connect(save, &QPushButton::clicked, this, &StatisticsWindow::OnSave);

  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(QStringLiteral("直近"), this));
  top->addWidget(lastSpin_);
  top->addStretch(1);
  top->addWidget(save);

  // Everything the PNG shows lives in this area.
  chartsArea_ = new QWidget(this);
  chartsArea_->setObjectName(QStringLiteral("chartsArea"));
  auto* chartRow = new QHBoxLayout;
  QStringList digits;
  for (int digit = 0; digit < kDigitValues; ++digit) {
    digits << QString::number(digit);
  }
  for (int place = 0; place < kMaxPlaces; ++place) {
    PlaceChart& chart = charts_[static_cast<std::size_t>(place)];
    chart.counts = new QBarSet(QStringLiteral("回数"));
    for (int digit = 0; digit < kDigitValues; ++digit) {
      chart.counts->append(0.0);
    }
    auto* bars = new QBarSeries;
    bars->append(chart.counts);
    chart.expected = new QLineSeries;
    chart.expected->setName(QStringLiteral("期待値"));
    auto* categories = new QBarCategoryAxis;
    categories->append(digits);
    chart.axis = new QValueAxis;
    chart.axis->setLabelFormat(QStringLiteral("%d"));
    auto* model = new QChart;
    model->addSeries(bars);
    model->addSeries(chart.expected);
    model->addAxis(categories, Qt::AlignBottom);
    model->addAxis(chart.axis, Qt::AlignLeft);
    for (QAbstractSeries* series :
         {static_cast<QAbstractSeries*>(bars), static_cast<QAbstractSeries*>(chart.expected)}) {
      series->attachAxis(categories);
      series->attachAxis(chart.axis);
    }
    model->legend()->setAlignment(Qt::AlignBottom);
    chart.view = new QChartView(model, chartsArea_);
    chart.view->setObjectName(QStringLiteral("countChart%1").arg(place));
    chart.view->setRenderHint(QPainter::Antialiasing);
    // Four side by side fit the smallest screen.
    chart.view->setMinimumSize(270, 280);
    chartRow->addWidget(chart.view);
  }

  sinceLastTable_ = new QTableWidget(0, kDigitValues, chartsArea_);
  sinceLastTable_->setObjectName(QStringLiteral("sinceLastTable"));
  sinceLastTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  sinceLastTable_->setHorizontalHeaderLabels(digits);
  sinceLastTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  sinceLastTable_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

  note_ = new QLabel(chartsArea_);
  note_->setObjectName(QStringLiteral("noteLabel"));
  note_->setWordWrap(true);
  ShowPlaces(Game::kNumbers3);

  // The range first: a saved picture says which draws it counts.
  auto* area = new QVBoxLayout(chartsArea_);
  area->addWidget(rangeLabel_);
  area->addLayout(chartRow, 1);
  area->addWidget(new QLabel(
      QStringLiteral(
          "最後に出てからの抽せん回数（0: 最新の抽せんで出た、—: この範囲で出ていない）"),
      chartsArea_));
  area->addWidget(sinceLastTable_);
  area->addWidget(note_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(chartsArea_, 1);
}

StatisticsWindow::~StatisticsWindow() = default;

bool StatisticsWindow::Open(const HistoryChoice& history) {
  // A window not yet shown leaves the boxes to its owner.
  QWidget* owner = isVisible() ? this : parentWidget();
  OwnedHistory loaded;
  const AnalysisHistory load =
      LoadAnalysisHistory(QFile::encodeName(history.path).toStdString(), loaded,
                          LoadOptions{history.encoding, history.game});
  if (!load.loaded) {
    ShowMessageBox(owner, LoadFailureText(load), QMessageBox::Critical, Text(load.detail));
    return false;
  }
  const DrawHistory& draws = loaded.get();
  DigitStatistics all = ComputeDigitStatistics(draws);
  if (all.status != StatisticsStatus::Ok) {
    ShowMessageBox(owner, QString::fromStdU16String(kNoStatisticsText), QMessageBox::Critical,
                   Text(StatusText(all)));
    return false;
  }

  history_ = std::move(loaded);
  historyPath_ = history.path;
  statistics_ = all;
  {
    const QSignalBlocker quiet(lastSpin_);
    lastSpin_->setRange(0, static_cast<int>(std::min<std::uint32_t>(all.draws, INT_MAX)));
    lastSpin_->setValue(0);
  }
  setWindowTitle(QStringLiteral("数字の統計 - %1").arg(QFileInfo(history.path).fileName()));
  ShowStatistics();
  return true;
}

void StatisticsWindow::OnLastChanged(int last) {
  if (statistics_.window == 0) {
    return;  // nothing loaded
  }
  statistics_ = ComputeDigitStatistics(
      history_.get(), last > 0 ? std::optional<std::uint32_t>(last) : std::nullopt);
  ShowStatistics();
}

void StatisticsWindow::ShowStatistics() {
  const double expected = static_cast<double>(statistics_.window) / kDigitValues;
  rangeLabel_->setText(QStringLiteral("抽せん %1〜%2 の %3 回分（各数字の期待値 %4 回）")
                           .arg(Grouped(statistics_.firstDraw), Grouped(statistics_.lastDraw),
                                Grouped(statistics_.window), Text(ShortNumber(expected, 6))));
  ShowPlaces(statistics_.game);
  const int places = std::min(static_cast<int>(statistics_.places.size()), kMaxPlaces);
  for (int place = 0; place < places; ++place) {
    const PlaceStatistics& counts = statistics_.places[static_cast<std::size_t>(place)];
    PlaceChart& chart = charts_[static_cast<std::size_t>(place)];
    std::uint32_t highest = 0;
    for (int digit = 0; digit < kDigitValues; ++digit) {
      const std::uint32_t count = counts.counts[static_cast<std::size_t>(digit)];
      chart.counts->replace(digit, count);
      highest = std::max(highest, count);
      const std::optional<std::uint32_t>& since = counts.sinceLast[static_cast<std::size_t>(digit)];
      auto* cell = new QTableWidgetItem(
          since.has_value() ? QString::number(*since) : QString::fromStdU16String(kNotDrawnText));
      cell->setTextAlignment(Qt::AlignCenter);
      sinceLastTable_->setItem(place, digit, cell);
    }
    // The line spans the whole category axis, from the left edge of 0 to the right edge of 9.
    chart.expected->replace(QList<QPointF>{{-0.5, expected}, {kDigitValues - 0.5, expected}});
    chart.axis->setRange(0.0, std::max<double>(highest, expected) * 1.1 + 1.0);
    chart.axis->applyNiceNumbers();
    chart.view->chart()->setTitle(ChartTitle(statistics_.game, place, counts));
  }
}

void StatisticsWindow::ShowPlaces(Game game) {
  const int places = PlaceCount(game);
  for (int place = 0; place < kMaxPlaces; ++place) {
    charts_[static_cast<std::size_t>(place)].view->setVisible(place < places);
  }
  QStringList labels;
  for (int place = 0; place < places; ++place) {
    labels << PlaceCaption(game, static_cast<std::size_t>(place));
  }
  sinceLastTable_->setRowCount(places);
  sinceLastTable_->setVerticalHeaderLabels(labels);
  sinceLastTable_->setFixedHeight(sinceLastTable_->horizontalHeader()->sizeHint().height() +
                                  places * sinceLastTable_->verticalHeader()->defaultSectionSize() +
                                  2 * sinceLastTable_->frameWidth());
  note_->setText(Explanation(places));
}

void StatisticsWindow::OnSave() {
  if (statistics_.status != StatisticsStatus::Ok || statistics_.window == 0) {
    return;
  }
  const std::optional<SaveTarget> target =
      ChooseSaveTarget(this, QStringLiteral("統計の保存"), {SaveFormat::kPng, SaveFormat::kCsv},
                       BesideHistory(historyPath_, QStringLiteral("statistics.png")));
  if (!target) {
    return;
  }
  WriteSavedFile(this, target->path,
                 target->format == SaveFormat::kCsv
                     ? QByteArray::fromStdString(StatisticsCsv(statistics_))
                     : PictureBytes(*chartsArea_, target->format));
}

void OpenStatisticsWindow(QWidget* owner, const HistoryChoice& history) {
  auto* window = owner->findChild<StatisticsWindow*>(QString(), Qt::FindDirectChildrenOnly);
  const bool made = window == nullptr;
  if (made) {
    window = new StatisticsWindow(owner);
  }
  if (!window->Open(history)) {
    if (made) {
      delete window;
    }
    return;
  }
  if (made) {
    MoveBeside(*window, *owner);
    KeepOnScreen(*window);  // another game's places change its width
  }
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace tolvane
