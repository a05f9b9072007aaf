#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <optional>

#include "app/gui/history_choice.h"
#include "app/history_update_checks.h"
#include "history/history_update.h"

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace tolvane {

class StatusLine;

// ﾌｧｲﾙ → 当選番号の追加: one draw added at the end of the main window's history, as
// `tolvane-cli add` adds it. The round starts at the highest + 1 and the date at the next draw
// day; the line to be written shows as it is typed. A round after missing ones is taken once the
// date has been entered by hand (the next draw day would be wrong for it). By object name:
// roundSpin, dateEdit, dateNote, numberEdit, previewLabel, statusLabel, detailsButton, addButton,
// cancelButton.
class AddDrawDialog : public QDialog {
  Q_OBJECT

 public:
  // `contents` is the history `choice` names, as ReadHistoryToUpdate read it.
  AddDrawDialog(const HistoryChoice& choice, HistoryContents contents, QWidget* parent = nullptr);

  // The round written; nullopt unless the dialog ended by adding.
  std::optional<std::int32_t> AddedRound() const { return added_; }

 private:
  // The draw the controls describe, checked against `history`; the digits set when typed right.
  DrawAddition Planned(const HistoryContents& history) const;
  std::optional<std::string> Digits() const;
  void Refresh();
  void OnAdd();

  HistoryChoice choice_;
  HistoryContents contents_;
  bool dateEntered_ = false;  // the date was changed by hand
  std::optional<std::int32_t> added_;
  QSpinBox* round_ = nullptr;
  QDateEdit* date_ = nullptr;
  QLabel* dateNote_ = nullptr;  // beside the date: says when it is no draw day
  QLineEdit* number_ = nullptr;
  QLabel* preview_ = nullptr;
  StatusLine* status_ = nullptr;
  QPushButton* add_ = nullptr;
};

// Reads the history `choice` names (a box says why when it cannot be added to), then runs the
// dialog. The round added, or nullopt.
std::optional<std::int32_t> RunAddDraw(QWidget* owner, const HistoryChoice& choice);

}  // namespace tolvane
