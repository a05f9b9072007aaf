#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "app/evaluation_runner.h"
#include "app/evaluation_table.h"
#include "app/gui/history_choice.h"
#include "app/gui/money_view.h"
#include "evaluate/evaluation.h"

class QChart;
class QChartView;
class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QSplitter;
class QTableWidget;
class QTabWidget;

namespace tolvane {

// The walk-forward evaluation of the main window's history: how often each filter and frame
// would have ranked the drawn digit near the top, against chance, as a table and a plot; and,
// with kinds of ticket ticked in its 収支 tab, what the rankings' tickets would have cost and paid.
//
// The evaluation runs on one worker thread while the window stays responsive. The engine's slot
// table is not thread-safe, so while it runs this window is the engine's only user: 実行 is off,
// and runningChanged(true) tells the main window to hold its prediction until runningChanged
// (false). 中止 and closing stop the worker and wait for it, which takes milliseconds.
class EvaluationWindow : public QWidget {
  Q_OBJECT

 public:
  // `history` gives the main window's history (path and encoding) at each 実行.
  explicit EvaluationWindow(std::function<HistoryChoice()> history, QWidget* parent = nullptr);
  ~EvaluationWindow() override;
  EvaluationWindow(const EvaluationWindow&) = delete;
  EvaluationWindow& operator=(const EvaluationWindow&) = delete;

  void OnRun();
  void OnCancel();
  void OnSave();

  bool IsRunning() const { return runner_.IsRunning(); }
  // The shown results, one row per run, place and k; empty before a finished run.
  const std::vector<EvaluationRow>& Rows() const { return rows_; }
  // The money replayed with the shown results; null when no kind of ticket was ticked.
  const std::shared_ptr<const MoneyResults>& Money() const { return money_; }

 signals:
  void runningChanged(bool running);
  // The kinds of ticket or their number changed in the 収支 tab.
  void moneyChoiceChanged();
  // From the worker thread, so queued to this window's.
  void WorkerProgressed(unsigned generation, quint64 done, quint64 total, QPrivateSignal);
  void WorkerFinished(unsigned generation, std::shared_ptr<tolvane::Evaluation> evaluation,
                      std::shared_ptr<const tolvane::MoneyResults> money, QPrivateSignal);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateControls();
  std::vector<EvaluationRun> ChosenRuns() const;
  void SetRunning(bool running);
  // Empties the table and the plot: what they showed no longer answers the choices.
  void ClearResults();
  void OnProgress(unsigned generation, quint64 done, quint64 total);
  void OnFinished(unsigned generation, const std::shared_ptr<Evaluation>& evaluation,
                  const std::shared_ptr<const MoneyResults>& money);
  void ShowResults();
  void ShowPlot(int run);

  std::function<HistoryChoice()> historyChoice_;
  std::array<QCheckBox*, 3> filterChecks_{};
  std::array<QCheckBox*, 4> frameChecks_{};
  QSpinBox* lastSpin_ = nullptr;
  QPushButton* runButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  QPushButton* saveButton_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* status_ = nullptr;
  QTableWidget* table_ = nullptr;
  QComboBox* plotRun_ = nullptr;
  QCheckBox* difference_ = nullptr;
  QChart* chart_ = nullptr;
  QChartView* chartView_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  MoneyView* moneyView_ = nullptr;

  EvaluationRunner runner_;
  // Counts the runs started, so a late message from a stopped run is known and dropped.
  unsigned generation_ = 0;
  std::shared_ptr<Evaluation> evaluation_;
  std::vector<EvaluationRow> rows_;
  std::shared_ptr<const MoneyResults> money_;
};

}  // namespace tolvane
