#pragma once

#include <QDialog>
#include <QString>
#include <optional>

#include "history/import_columns.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace tolvane {

// ファイル → インポート...: converts one results file into a history. It shows the columns found
// (which the user may change), the first draws converted and what the whole file gives, and
// writes where the user says. By object name: sourceLabel, encodingCombo, roundColumn,
// dateColumn, numberColumn, previewTable, statusLabel, destEdit, destButton, convertButton,
// cancelButton.
class CImportDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kPreviewRows = 10;

  explicit CImportDlg(const QString& source, QWidget* parent = nullptr);

  // The history written; empty unless the dialog ended by converting.
  const QString& WrittenPath() const { return m_written; }

  // Beside the source: "<name>-tolvane.csv".
  static QString DefaultDestination(const QString& source);

 private:
  // Reads the source again, with the columns given or (nullopt) found by the header's names.
  void Refresh(const std::optional<ImportColumns>& columns);
  void OnColumnChosen();
  void OnChooseDestination();
  void OnConvert();
  std::optional<ImportColumns> ChosenColumns() const;

  QString m_source;
  QString m_written;
  QComboBox* m_encoding = nullptr;
  QComboBox* m_round = nullptr;
  QComboBox* m_date = nullptr;
  QComboBox* m_number = nullptr;
  QTableWidget* m_preview = nullptr;
  QLabel* m_status = nullptr;
  QLineEdit* m_dest = nullptr;
  QPushButton* m_convert = nullptr;
};

// Asks for a results file, then runs the import dialog on it. The history written, or nullopt
// when the user cancelled either step.
std::optional<QString> RunImport(QWidget* owner);

}  // namespace tolvane
