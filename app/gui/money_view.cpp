#include "app/gui/money_view.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <utility>

#include "app/gui/evaluation_chart.h"
#include "app/gui/money_chart.h"
#include "app/gui/option_labels.h"
#include "app/money_table.h"

namespace tolvane {
namespace {

const std::array<const char*, kBetTypes.size()> kBetNames = {"betStraightCheck", "betBoxCheck",
                                                             "betSetCheck", "betMiniCheck"};

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString BetLabel(BetType type) {
  for (const OptionEntry<BetType>& entry : kBetTypes) {
    if (entry.kind == type) {
      return Text(entry.label);
    }
  }
  return {};
}

QString Percent(double share) { return QString::asprintf("%.1f %%", 100.0 * share); }

QString Yen(std::uint64_t value) { return QString::fromStdString(GroupedYen(value)); }

}  // namespace

MoneyView::MoneyView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("moneyView"));
  const MoneyChoice stored = StoredMoneyChoice();
  auto* controls = new QHBoxLayout;
  controls->addWidget(new QLabel(QStringLiteral("買い目"), this));
  for (std::size_t i = 0; i < kBetTypes.size(); ++i) {
    bets_[i] = new QCheckBox(Text(kBetTypes[i].label), this);
    bets_[i]->setObjectName(QString::fromLatin1(kBetNames[i]));
    bets_[i]->setChecked(std::find(stored.bets.begin(), stored.bets.end(), kBetTypes[i].kind) !=
                         stored.bets.end());
    controls->addWidget(bets_[i]);
  }
  auto* ticketsLabel = new QLabel(QStringLiteral("各 N 口 / 回"), this);
  tickets_ = new QSpinBox(this);
  tickets_->setObjectName(QStringLiteral("ticketsSpin"));
  tickets_->setSuffix(QStringLiteral(" 口"));
  ticketsLabel->setBuddy(tickets_);
  controls->addWidget(ticketsLabel);
  controls->addWidget(tickets_);
  controls->addStretch();

  table_ = new QTableWidget(0, 13, this);
  table_->setObjectName(QStringLiteral("moneyTable"));
  table_->setHorizontalHeaderLabels(
      {QStringLiteral("実行"), QStringLiteral("券種"), QStringLiteral("口数/回"),
       QStringLiteral("回数"), QStringLiteral("購入額 (円)"), QStringLiteral("払戻額 (円)"),
       QStringLiteral("回収率"), QStringLiteral("当せん口数"), QStringLiteral("無作為の期待回収率"),
       QStringLiteral("無作為の 95 % 範囲"), QStringLiteral("p 値"), QStringLiteral("p の求め方"),
       QStringLiteral("実際の払戻の回数")});
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

  plot_ = new QComboBox(this);
  plot_->setObjectName(QStringLiteral("moneyPlotCombo"));
  chart_ = new QChart;
  chart_->legend()->setAlignment(Qt::AlignBottom);
  chartView_ = new QChartView(chart_, this);  // the view owns the chart
  chartView_->setObjectName(QStringLiteral("moneyChartView"));
  chartView_->setRenderHint(QPainter::Antialiasing);
  note_ =
      new QLabel(QStringLiteral("破線: 無作為に買った場合のその回までの期待収支 (正確)。帯: 無作為"
                                "の買い方 10,000 通りの 95 % がその回までに収まる範囲 (模擬)。"),
                 this);
  note_->setObjectName(QStringLiteral("moneyNoteLabel"));
  note_->setWordWrap(true);

  auto* plotPane = new QWidget(this);
  auto* plotLayout = new QVBoxLayout(plotPane);
  plotLayout->setContentsMargins(0, 0, 0, 0);
  plotLayout->addWidget(plot_);
  plotLayout->addWidget(chartView_, 1);
  plotLayout->addWidget(note_);
  auto* results = new QSplitter(Qt::Vertical, this);
  results->addWidget(table_);
  results->addWidget(plotPane);
  results->setStretchFactor(1, 2);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(controls);
  layout->addWidget(results, 1);

  FollowGame(game_);
  tickets_->setValue(stored.tickets);
  for (QCheckBox* bet : bets_) {
    connect(bet, &QCheckBox::toggled, this, &MoneyView::OnChoiceChanged);
  }
  connect(tickets_, &QSpinBox::valueChanged, this, &MoneyView::OnChoiceChanged);
  connect(plot_, &QComboBox::currentIndexChanged, this, &MoneyView::ShowPlot);
}

void MoneyView::FollowGame(Game game) {
  game_ = game;
  std::vector<BetType> ticked;
  for (std::size_t i = 0; i < kBetTypes.size(); ++i) {
    bets_[i]->setVisible(Sells(game, kBetTypes[i].kind));
    if (bets_[i]->isChecked()) {
      ticked.push_back(kBetTypes[i].kind);
    }
  }
  tickets_->setRange(1, MostTickets(game, ticked));
}

MoneyChoice MoneyView::Choice() const {
  MoneyChoice choice;
  for (std::size_t i = 0; i < kBetTypes.size(); ++i) {
    if (bets_[i]->isChecked()) {
      choice.bets.push_back(kBetTypes[i].kind);
    }
  }
  choice.tickets = tickets_->value();
  return ForGame(choice, game_);
}

void MoneyView::OnChoiceChanged() {
  FollowGame(game_);  // the most tickets follow the kinds ticked
  // Remembered with every kind ticked, those this game does not sell too.
  MoneyChoice stored;
  for (std::size_t i = 0; i < kBetTypes.size(); ++i) {
    if (bets_[i]->isChecked()) {
      stored.bets.push_back(kBetTypes[i].kind);
    }
  }
  stored.tickets = tickets_->value();
  StoreMoneyChoice(stored);
  emit choiceChanged();
}

void MoneyView::Clear() {
  evaluation_.reset();
  results_.reset();
  table_->setRowCount(0);
  plot_->clear();
  ClearPlot(*chart_);
}

void MoneyView::ShowResults(std::shared_ptr<const Evaluation> evaluation,
                            std::shared_ptr<const MoneyResults> results) {
  Clear();
  if (!evaluation || !results) {
    return;
  }
  evaluation_ = std::move(evaluation);
  results_ = std::move(results);
  int row = 0;
  for (std::size_t r = 0; r < evaluation_->runs.size() && r < results_->runs.size(); ++r) {
    const RunOutcome& run = evaluation_->runs[r];
    for (std::size_t k = 0; k < results_->runs[r].size(); ++k) {
      const MoneyOutcome& outcome = results_->runs[r][k];
      const QStringList cells = {
          RunLabel(run),
          BetLabel(outcome.bet),
          QString::number(outcome.tickets),
          QString::number(outcome.draws),
          Yen(outcome.cost),
          Yen(outcome.winnings),
          Percent(outcome.returnRate),
          Yen(outcome.hits),
          Percent(outcome.randomReturn),
          Percent(outcome.randomLow) + QStringLiteral(" 〜 ") + Percent(outcome.randomHigh),
          QString::asprintf("%.3g", outcome.pValue),
          outcome.pExact ? QStringLiteral("正確") : QStringLiteral("模擬"),
          QString::number(outcome.actualPayouts),
      };
      table_->insertRow(row);
      for (int column = 0; column < cells.size(); ++column) {
        auto* item = new QTableWidgetItem(cells[column]);
        if (column >= 2) {
          item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        }
        table_->setItem(row, column, item);
      }
      ++row;
      // The first item added selects itself, which plots it.
      plot_->addItem(RunLabel(run) + QLatin1Char(' ') + BetLabel(outcome.bet),
                     QPoint(static_cast<int>(r), static_cast<int>(k)));
    }
  }
}

void MoneyView::ShowPlot(int index) {
  if (!results_ || index < 0) {
    return;
  }
  const QPoint at = plot_->itemData(index).toPoint();
  const auto run = static_cast<std::size_t>(at.x());
  const auto kind = static_cast<std::size_t>(at.y());
  if (run >= results_->runs.size() || kind >= results_->runs[run].size()) {
    return;
  }
  const MoneyOutcome& outcome = results_->runs[run][kind];
  PlotBalance(*chart_, outcome,
              QStringLiteral("%1 %2 口 (%3 回)")
                  .arg(plot_->itemText(index))
                  .arg(outcome.tickets)
                  .arg(Grouped(outcome.draws)));
}

std::string MoneyView::Csv() const {
  return results_ ? MoneyCsv(*evaluation_, results_->runs) : std::string();
}

}  // namespace tolvane
