#pragma once

#include <QDialog>
#include <QString>
#include <optional>

#include "core/game.h"
#include "history/history_import.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace tolvane {

class StatusLine;

// ファイル → インポート...: converts one results file into a history. It shows the columns found
// (which the user may change), the first draws converted and what the whole file gives, and
// writes where the user says, asking before it replaces a file. By object name: sourceLabel,
// encodingCombo, roundColumn, dateColumn, numberColumn, previewTable, statusLabel,
// detailsButton, destEdit, destButton, convertButton, cancelButton.
class ImportDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kPreviewRows = 10;

  // Converts winning numbers of `game`: one to three digits for Numbers 3, one to four for
  // Numbers 4, each padded with zeros.
  explicit ImportDialog(const QString& source, QWidget* parent = nullptr,
                        Game game = Game::kNumbers3);

  // The history written; empty unless the dialog ended by converting.
  const QString& WrittenPath() const { return written_; }

  // Beside the source: "<name>-tolvane.csv".
  static QString DefaultDestination(const QString& source);

 private:
  // Reads the source again, with the columns given or (nullopt) found by the header's names.
  void Refresh(const std::optional<ImportColumns>& columns);
  void OnColumnChosen();
  void OnChooseDestination();
  void OnConvert();
  std::optional<ImportColumns> ChosenColumns() const;
  ImportOptions ChosenOptions() const;

  QString source_;
  Game game_;
  QString written_;
  QComboBox* encoding_ = nullptr;
  QComboBox* roundColumn_ = nullptr;
  QComboBox* dateColumn_ = nullptr;
  QComboBox* numberColumn_ = nullptr;
  QTableWidget* preview_ = nullptr;
  StatusLine* status_ = nullptr;
  QLineEdit* dest_ = nullptr;
  QPushButton* convert_ = nullptr;
};

// Asks for a results file, starting in the folder of `history` (the main window's history path),
// then runs the import dialog on it for `game`. The history written, or nullopt when the user
// cancelled either step.
std::optional<QString> RunImport(QWidget* owner, const QString& history,
                                 Game game = Game::kNumbers3);

}  // namespace tolvane
