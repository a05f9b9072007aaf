#include "app/gui/import_dialog.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>
#include <array>

#include "app/gui/dialog_font.h"
#include "app/gui/dialog_parts.h"
#include "app/gui/message_box.h"
#include "app/gui/modal.h"
#include "app/gui/option_labels.h"
#include "app/gui/status_line.h"
#include "app/history_update_checks.h"
#include "history/history_import.h"

namespace tolvane {
namespace {

QStringList CsvFilters() {
  return {QStringLiteral("CSV ファイル (*.csv)"), QStringLiteral("すべてのファイル (*)")};
}

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

QString OrderWord(SourceOrder order) {
  switch (order) {
    case SourceOrder::kNewestFirst:
      return QStringLiteral("新しい順");
    case SourceOrder::kMixed:
      return QStringLiteral("順不同");
    case SourceOrder::kOldestFirst:
      break;
  }
  return QStringLiteral("古い順");
}

QString Summary(const ImportResult& result) {
  return QStringLiteral("%1 回分を変換します (第%2回〜第%3回、欠番 %4、重複行 %5、元の並び: %6)")
      .arg(Grouped(result.draws.size()))
      .arg(result.draws.front().round)
      .arg(result.draws.back().round)
      .arg(Grouped(result.MissingRounds()), Grouped(result.repeatedLines), OrderWord(result.order));
}

// Why the file cannot be converted, in the window's words; the converter's own reason goes to
// the details.
QString FailureText(const ImportResult& result) {
  if (result.columnsNotFound) {
    const QString missing =
        QStringLiteral("見出しに回別・抽せん日・当せん番号の列の名前が見つかりません。");
    return result.header.size() < 3 ? missing + QStringLiteral("結果ファイルではないようです。")
                                    : missing + QStringLiteral("それぞれの列を選んでください。");
  }
  if (result.line == 0) {
    return QStringLiteral("このファイルは変換できません。");
  }
  return QStringLiteral("%1 行目を変換できません。").arg(result.line);
}

QComboBox* ColumnCombo(QWidget* parent, const char* name) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(QString::fromLatin1(name));
  combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  return combo;
}

}  // namespace

ImportDialog::ImportDialog(const QString& source, QWidget* parent, Game game)
    : QDialog(parent, kDialogWindowFlags), source_(source), game_(game) {
  setWindowTitle(QStringLiteral("インポート"));
  setFont(DialogFont());

  auto* sourceLabel = new QLabel(source, this);
  sourceLabel->setObjectName(QStringLiteral("sourceLabel"));
  sourceLabel->setTextFormat(Qt::PlainText);
  encoding_ = SourceEncodingCombo(this);
  roundColumn_ = ColumnCombo(this, "roundColumn");
  dateColumn_ = ColumnCombo(this, "dateColumn");
  numberColumn_ = ColumnCombo(this, "numberColumn");

  preview_ = new QTableWidget(0, 4, this);
  preview_->setObjectName(QStringLiteral("previewTable"));
  preview_->setHorizontalHeaderLabels({QStringLiteral("回別"), QStringLiteral("抽せん日"),
                                       QStringLiteral("曜日"), QStringLiteral("当せん番号")});
  preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  preview_->verticalHeader()->hide();
  preview_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

  status_ = new StatusLine(this);

  dest_ = new QLineEdit(DefaultDestination(source), this);
  dest_->setObjectName(QStringLiteral("destEdit"));
  auto* destButton = new QPushButton(QStringLiteral("選択"), this);
  destButton->setObjectName(QStringLiteral("destButton"));
  convert_ = new QPushButton(QStringLiteral("変換"), this);
  convert_->setObjectName(QStringLiteral("convertButton"));

  auto* columns = new QHBoxLayout;
  for (auto [label, combo] : std::array<std::pair<const char16_t*, QComboBox*>, 3>{
           {{u"回別", roundColumn_}, {u"抽せん日", dateColumn_}, {u"当せん番号", numberColumn_}}}) {
    columns->addWidget(new QLabel(QString::fromUtf16(label), this));
    columns->addWidget(combo);
  }
  columns->addStretch();
  auto* dest = new QHBoxLayout;
  dest->addWidget(dest_, 1);
  dest->addWidget(destButton);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("元のファイル"), sourceLabel);
  form->addRow(QStringLiteral("文字コード"), encoding_);
  form->addRow(QStringLiteral("列"), columns);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(preview_, 1);
  layout->addWidget(status_);
  auto* save = new QFormLayout;
  save->addRow(QStringLiteral("保存先"), dest);
  layout->addLayout(save);
  layout->addLayout(ActionRow(this, convert_));

  connect(encoding_, &QComboBox::currentIndexChanged, this, [this] { Refresh(ChosenColumns()); });
  for (QComboBox* combo : {roundColumn_, dateColumn_, numberColumn_}) {
    connect(combo, &QComboBox::currentIndexChanged, this, &ImportDialog::OnColumnChosen);
  }
  connect(destButton, &QPushButton::clicked, this, &ImportDialog::OnChooseDestination);
  connect(convert_, &QPushButton::clicked, this, &ImportDialog::OnConvert);

  resize(560, 440);
  Refresh(std::nullopt);
}

QString ImportDialog::DefaultDestination(const QString& source) {
  const QFileInfo info(source);
  return info.dir().filePath(info.completeBaseName() + QStringLiteral("-tolvane.csv"));
}

std::optional<ImportColumns> ImportDialog::ChosenColumns() const {
  const int round = roundColumn_->currentIndex();
  const int date = dateColumn_->currentIndex();
  const int number = numberColumn_->currentIndex();
  if (round < 0 || date < 0 || number < 0 || round == date || round == number || date == number) {
    return std::nullopt;
  }
  return ImportColumns{static_cast<std::size_t>(round), static_cast<std::size_t>(date),
                       static_cast<std::size_t>(number)};
}

ImportOptions ImportDialog::ChosenOptions() const {
  ImportOptions options;
  options.encoding = ChosenEncoding(*encoding_);
  options.game = game_;
  return options;
}

void ImportDialog::Refresh(const std::optional<ImportColumns>& columns) {
  ImportOptions options = ChosenOptions();
  options.columns = columns;
  ImportResult result;
  const bool converted = ConvertHistorySource(source_.toStdString(), options, result);

  // The header's fields to choose from, the columns read (if known) chosen.
  const std::array<std::pair<QComboBox*, std::size_t ImportColumns::*>, 3> combos = {{
      {roundColumn_, &ImportColumns::round},
      {dateColumn_, &ImportColumns::date},
      {numberColumn_, &ImportColumns::number},
  }};
  for (const auto& [combo, member] : combos) {
    const QSignalBlocker quiet(combo);
    combo->clear();
    for (std::size_t i = 0; i < result.header.size(); ++i) {
      combo->addItem(
          QStringLiteral("%1: %2").arg(i).arg(QString::fromStdU16String(result.header[i])));
    }
    combo->setCurrentIndex(result.columns ? static_cast<int>((*result.columns).*member) : -1);
  }

  const std::size_t rows = std::min<std::size_t>(result.draws.size(), kPreviewRows);
  preview_->setRowCount(static_cast<int>(rows));
  for (std::size_t row = 0; row < rows; ++row) {
    const QStringList cells =
        Text(HistoryLine(result.draws[row], result.game)).split(QLatin1Char(','));
    for (int column = 0; column < cells.size(); ++column) {
      preview_->setItem(static_cast<int>(row), column, new QTableWidgetItem(cells[column]));
    }
  }

  // A header of fewer than three fields names no columns to choose from: no results file.
  const bool choosable = result.header.size() >= 3;
  for (QComboBox* combo : {roundColumn_, dateColumn_, numberColumn_}) {
    combo->setEnabled(choosable);
  }
  if (converted) {
    const std::vector<std::string> warnings = SourceWarnings(source_.toStdString(), result);
    status_->Show(warnings.empty()
                      ? Summary(result)
                      : Summary(result) + QStringLiteral("。") + WarningsNote(warnings),
                  JapaneseDetails(warnings));
  } else {
    status_->Show(FailureText(result), Text(ImportFailureDetail(source_.toStdString(), result)));
  }
  convert_->setEnabled(converted);
}

void ImportDialog::OnColumnChosen() {
  const std::optional<ImportColumns> columns = ChosenColumns();
  if (columns) {
    Refresh(columns);
    return;
  }
  preview_->setRowCount(0);
  status_->Show(QStringLiteral("回別、抽せん日、当せん番号に別々の列を選んでください。"),
                QString());
  convert_->setEnabled(false);
}

void ImportDialog::OnChooseDestination() {
  FileRequest request;
  request.mode = FileRequest::Mode::Save;
  request.nameFilters = CsvFilters();
  request.initialPath = dest_->text();
  if (const std::optional<FileChoice> chosen = ChooseFile(this, request)) {
    dest_->setText(chosen->path);
  }
}

void ImportDialog::OnConvert() {
  const QString dest = dest_->text();
  if (dest.isEmpty()) {
    ShowMessageBox(this, QStringLiteral("保存先を入力してください。"), QMessageBox::Critical);
    return;
  }
  if (QFileInfo::exists(dest) &&
      !AskYesNo(this, QStringLiteral("%1 は既にあります。置き換えますか?").arg(dest))) {
    return;
  }
  // The file is read again: it may have changed since the preview.
  ImportOptions options = ChosenOptions();
  options.columns = ChosenColumns();
  ImportResult result;
  std::string error;
  if (!ConvertHistorySource(source_.toStdString(), options, result)) {
    error = ImportFailureDetail(source_.toStdString(), result);
  } else if (!WriteImportedHistory(source_.toStdString(), dest.toStdString(), result, error)) {
    error = dest.toStdString() + ": " + error;
  }
  if (!error.empty()) {
    ShowMessageBox(this, QStringLiteral("インポートに失敗しました。"), QMessageBox::Critical,
                   Text(error));
    return;
  }
  written_ = dest;
  accept();
}

std::optional<QString> RunImport(QWidget* owner, const QString& history, Game game) {
  FileRequest request;
  request.title = QStringLiteral("インポートする結果ファイル");
  request.nameFilters = CsvFilters();
  request.initialPath = BesideHistory(history);
  const std::optional<FileChoice> source = ChooseFile(owner, request);
  if (!source) {
    return std::nullopt;
  }
  ImportDialog dialog(source->path, owner, game);
  if (RunModal(dialog) != QDialog::Accepted || dialog.WrittenPath().isEmpty()) {
    return std::nullopt;
  }
  return dialog.WrittenPath();
}

}  // namespace tolvane
