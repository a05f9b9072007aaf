#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <optional>

#include "app/gui/history_choice.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace tolvane {

class StatusLine;

// ﾌｧｲﾙ → 結果ファイルで更新: a results file's new rounds merged into the main window's history,
// as `tolvane-cli import SOURCE --into HISTORY` merges them (the history read and written in
// code page 932; one that does not exist yet written as an import writes it). It shows how many
// draws would be added and how many are already there; a round the two hold differently keeps
// 更新 off. By object name: sourceLabel, encodingCombo, statusLabel, detailsButton,
// updateButton, cancelButton.
class UpdateHistoryDialog : public QDialog {
  Q_OBJECT

 public:
  // `history`: the main window's history path and game (its encoding is not used).
  UpdateHistoryDialog(const QString& source, const HistoryChoice& history,
                      QWidget* parent = nullptr);

  // The highest round of the history written; nullopt unless the dialog ended by updating.
  std::optional<std::int32_t> HighestRound() const { return highest_; }

 private:
  // What merging would do now: the status, and whether 更新 may go ahead.
  void Refresh();
  void OnUpdate();

  QString source_;
  HistoryChoice history_;
  std::optional<std::int32_t> highest_;
  QComboBox* encoding_ = nullptr;
  StatusLine* status_ = nullptr;
  QPushButton* update_ = nullptr;
};

// Asks for a results file, starting in the folder of the history `history` names, then runs the
// dialog on it. The highest round of the history written, or nullopt.
std::optional<std::int32_t> RunUpdateHistory(QWidget* owner, const HistoryChoice& history);

}  // namespace tolvane
