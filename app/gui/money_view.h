#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/gui/money_choice.h"
#include "evaluate/evaluation.h"
#include "evaluate/money_replay.h"

class QChart;
class QChartView;
class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;
class QTableWidget;

namespace tolvane {

// What ReplayMoney gave for an evaluation: per run, per kind asked for.
struct MoneyResults {
  std::vector<std::vector<MoneyOutcome>> runs;
};

// The evaluation window's 収支 view: which tickets to buy (the kinds the game sells, N of each a
// draw), and after an evaluation what they would have cost and paid per run and kind beside
// random tickets, as a table and a chart of one run's balance. By object name: betStraightCheck,
// betBoxCheck, betSetCheck, betMiniCheck, ticketsSpin, moneyTable, moneyPlotCombo,
// moneyChartView, moneyNoteLabel.
class MoneyView : public QWidget {
  Q_OBJECT

 public:
  explicit MoneyView(QWidget* parent = nullptr);

  // Offers the kinds `game` sells, and as many tickets as each of those ticked has.
  void FollowGame(Game game);
  // The kinds ticked that the game sells, and N; no kinds: no money replayed.
  MoneyChoice Choice() const;

  // Shows `results` for `evaluation` (made with keepRankings, ReplayMoney with keepDraws).
  void ShowResults(std::shared_ptr<const Evaluation> evaluation,
                   std::shared_ptr<const MoneyResults> results);
  void Clear();
  bool HasResults() const { return results_ != nullptr; }
  // The table as CSV (app/money_table.h); empty without results.
  std::string Csv() const;
  QChartView& ChartView() const { return *chartView_; }

 signals:
  // The kinds or N changed (and were remembered).
  void choiceChanged();

 private:
  void OnChoiceChanged();
  void ShowPlot(int index);

  Game game_ = Game::kNumbers3;
  std::array<QCheckBox*, kBetTypes.size()> bets_{};
  QSpinBox* tickets_ = nullptr;
  QLabel* note_ = nullptr;
  QTableWidget* table_ = nullptr;
  QComboBox* plot_ = nullptr;
  QChart* chart_ = nullptr;
  QChartView* chartView_ = nullptr;
  std::shared_ptr<const Evaluation> evaluation_;
  std::shared_ptr<const MoneyResults> results_;
};

}  // namespace tolvane
