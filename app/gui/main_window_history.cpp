// The main window following its history: a history opened or imported, a draw added or the
// history updated, each leaves the round after the newest draw and no prediction of another file.
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <limits>

#include "app/analysis_history.h"
#include "app/gui/history_to_update.h"
#include "app/gui/main_window.h"
#include "app/gui/round_edit.h"
#include "app/gui/round_spin.h"
#include "app/gui/spectra_window.h"
#include "app/history_update_checks.h"

namespace tolvane {

void MainWindow::TakeHistory(const QString& path) {
  filePath_ = path;
  pathEdit_->setText(path);
  ForgetPrediction();
  // The round the command line predicts by default; a history that does not load leaves the
  // round alone, and 予想 says why.
  OwnedHistory history;
  const AnalysisHistory load = LoadAnalysisHistory(QFile::encodeName(path).toStdString(), history,
                                                   LoadOptions{encoding_, game_});
  if (load.loaded && load.report.draws > 0) {
    FollowHighestRound(load.report.highestRound);
  }
}

void MainWindow::ForgetPrediction() {
  lastAnalysis_.reset();
  SetResultText(std::u16string());
  if (!spectraWindow_.isNull()) {
    spectraWindow_->ShowAnalysis(nullptr);
  }
}

void MainWindow::FollowHighestRound(std::int32_t highest) {
  // Plain digits, past the spin's range if need be: the prediction reads the edit's number.
  const std::int64_t next =
      std::min<std::int64_t>(std::int64_t{highest} + 1, std::numeric_limits<std::int32_t>::max());
  roundEdit_->WriteText(QString::number(next));
  roundSpin_->GetPos();
}

void MainWindow::ReportWritten(std::int32_t round, const QString& done) {
  ForgetPrediction();  // it rests on the file as it was
  FollowHighestRound(round);
  // Read back, so the line names what the file now holds.
  const HistoryToUpdate written = ReadHistoryToUpdate(ChosenHistory(), "add");
  const auto& draws = written.contents.draws;
  const auto draw = std::find_if(draws.begin(), draws.end(),
                                 [round](const ImportedDraw& d) { return d.round == round; });
  if (!written.ok || draw == draws.end()) {
    return;
  }
  resultLabel_->setText(QStringLiteral("%1 %2 %3 %4")
                            .arg(QString::fromStdString(RoundName(draw->round)),
                                 QString::fromStdString(HistoryDateText(draw->date)),
                                 QString::fromStdString(WinningNumberText(draw->digits, game_)),
                                 done));
}

}  // namespace tolvane
