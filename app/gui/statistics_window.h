#pragma once

#include <QString>
#include <QWidget>
#include <array>

#include "app/gui/history_choice.h"
#include "core/game.h"
#include "evaluate/digit_statistics.h"
#include "history/draw_history.h"

class QBarSet;
class QChartView;
class QLabel;
class QLineSeries;
class QSpinBox;
class QTableWidget;
class QValueAxis;

namespace tolvane {

// The digit statistics of one history, non-modal beside the main window: per place a bar chart
// of the ten counts with the fair draw's expected count as a line and the chi-square p-value in
// the title; a table of the draws since each digit was last seen; the newest-N choice; 保存 as
// PNG or CSV. Object names: lastSpin, rangeLabel, countChart0..3 (one per place of the history's
// game, highest first; the fourth hidden for Numbers 3), sinceLastTable, noteLabel, saveButton.
class StatisticsWindow : public QWidget {
  Q_OBJECT

 public:
  explicit StatisticsWindow(QWidget* parent = nullptr);
  ~StatisticsWindow() override;

  // Loads the history at `path` (UTF-8 text, as the main window's path edit holds it) and shows
  // its statistics over every draw. On failure says why in a box, keeps what it showed and
  // returns false.
  bool Open(const HistoryChoice& history);

  // Asks for a file and writes the charts (PNG, the default) or the counts (CSV) to it, the type
  // chosen deciding.
  void OnSave();

  const DigitStatistics& Statistics() const { return statistics_; }

 private:
  struct PlaceChart {
    QChartView* view = nullptr;
    QBarSet* counts = nullptr;
    QLineSeries* expected = nullptr;
    QValueAxis* axis = nullptr;
  };

  void OnLastChanged(int last);
  // Shows a chart and a table row for each place of `game`, with their labels, and the
  // explanation at its level.
  void ShowPlaces(Game game);
  void ShowStatistics();

  OwnedHistory history_;
  QString historyPath_;  // as the main window named it; 保存 starts in its folder
  DigitStatistics statistics_;
  QSpinBox* lastSpin_ = nullptr;
  QLabel* rangeLabel_ = nullptr;
  QWidget* chartsArea_ = nullptr;
  std::array<PlaceChart, kMaxPlaces> charts_;
  QTableWidget* sinceLastTable_ = nullptr;
  QLabel* note_ = nullptr;
};

// Opens the statistics of `history` in `owner`'s statistics window, making it on first use and
// raising it after; a history that cannot be read leaves no new window.
void OpenStatisticsWindow(QWidget* owner, const HistoryChoice& history);

}  // namespace tolvane
