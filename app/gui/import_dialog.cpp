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
#include "app/gui/message_box.h"
#include "app/gui/modal.h"
#include "app/messages.h"
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
      .arg(result.draws.size())
      .arg(result.draws.front().round)
      .arg(result.draws.back().round)
      .arg(result.MissingRounds())
      .arg(result.repeatedLines)
      .arg(OrderWord(result.order));
}

QComboBox* ColumnCombo(QWidget* parent, const char* name) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(QString::fromLatin1(name));
  combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  return combo;
}

}  // namespace

CImportDlg::CImportDlg(const QString& source, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_source(source) {
  setWindowTitle(QStringLiteral("インポート"));
  setFont(DialogFont());

  auto* sourceLabel = new QLabel(source, this);
  sourceLabel->setObjectName(QStringLiteral("sourceLabel"));
  sourceLabel->setTextFormat(Qt::PlainText);
  m_encoding = new QComboBox(this);
  m_encoding->setObjectName(QStringLiteral("encodingCombo"));
  m_encoding->addItems({QStringLiteral("Shift_JIS (cp932)"), QStringLiteral("UTF-8")});
  m_round = ColumnCombo(this, "roundColumn");
  m_date = ColumnCombo(this, "dateColumn");
  m_number = ColumnCombo(this, "numberColumn");

  m_preview = new QTableWidget(0, 4, this);
  m_preview->setObjectName(QStringLiteral("previewTable"));
  m_preview->setHorizontalHeaderLabels({QStringLiteral("回別"), QStringLiteral("抽せん日"),
                                        QStringLiteral("曜日"), QStringLiteral("当せん番号")});
  m_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_preview->verticalHeader()->hide();
  m_preview->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

  m_status = new QLabel(this);
  m_status->setObjectName(QStringLiteral("statusLabel"));
  m_status->setTextFormat(Qt::PlainText);
  m_status->setWordWrap(true);

  m_dest = new QLineEdit(DefaultDestination(source), this);
  m_dest->setObjectName(QStringLiteral("destEdit"));
  auto* destButton = new QPushButton(QStringLiteral("選択"), this);
  destButton->setObjectName(QStringLiteral("destButton"));
  m_convert = new QPushButton(QStringLiteral("変換"), this);
  m_convert->setObjectName(QStringLiteral("convertButton"));
  m_convert->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
  cancel->setObjectName(QStringLiteral("cancelButton"));

  auto* columns = new QHBoxLayout;
  for (auto [label, combo] : std::array<std::pair<const char16_t*, QComboBox*>, 3>{
           {{u"回別", m_round}, {u"抽せん日", m_date}, {u"当せん番号", m_number}}}) {
    columns->addWidget(new QLabel(QString::fromUtf16(label), this));
    columns->addWidget(combo);
  }
  columns->addStretch();
  auto* dest = new QHBoxLayout;
  dest->addWidget(m_dest, 1);
  dest->addWidget(destButton);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("元のファイル"), sourceLabel);
  form->addRow(QStringLiteral("文字コード"), m_encoding);
  form->addRow(QStringLiteral("列"), columns);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(m_convert);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(m_preview, 1);
  layout->addWidget(m_status);
  auto* save = new QFormLayout;
  save->addRow(QStringLiteral("保存先"), dest);
  layout->addLayout(save);
  layout->addLayout(buttons);

  connect(m_encoding, &QComboBox::currentIndexChanged, this, [this] { Refresh(ChosenColumns()); });
  for (QComboBox* combo : {m_round, m_date, m_number}) {
    connect(combo, &QComboBox::currentIndexChanged, this, &CImportDlg::OnColumnChosen);
  }
  connect(destButton, &QPushButton::clicked, this, &CImportDlg::OnChooseDestination);
  connect(m_convert, &QPushButton::clicked, this, &CImportDlg::OnConvert);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  resize(560, 440);
  Refresh(std::nullopt);
}

QString CImportDlg::DefaultDestination(const QString& source) {
  const QFileInfo info(source);
  return info.dir().filePath(info.completeBaseName() + QStringLiteral("-tolvane.csv"));
}

std::optional<ImportColumns> CImportDlg::ChosenColumns() const {
  const int round = m_round->currentIndex();
  const int date = m_date->currentIndex();
  const int number = m_number->currentIndex();
  if (round < 0 || date < 0 || number < 0 || round == date || round == number || date == number) {
    return std::nullopt;
  }
  return ImportColumns{static_cast<std::size_t>(round), static_cast<std::size_t>(date),
                       static_cast<std::size_t>(number)};
}

void CImportDlg::Refresh(const std::optional<ImportColumns>& columns) {
  ImportOptions options;
  options.encoding = m_encoding->currentIndex() == 1 ? TextEncoding::kUtf8 : TextEncoding::kCp932;
  options.columns = columns;
  ImportResult result;
  const bool converted = ConvertHistorySource(m_source.toStdString(), options, result);

  // The header's fields to choose from, the columns read (if known) chosen.
  const std::array<std::pair<QComboBox*, std::size_t ImportColumns::*>, 3> combos = {{
      {m_round, &ImportColumns::round},
      {m_date, &ImportColumns::date},
      {m_number, &ImportColumns::number},
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
  m_preview->setRowCount(static_cast<int>(rows));
  for (std::size_t row = 0; row < rows; ++row) {
    const QStringList cells = Text(HistoryLine(result.draws[row])).split(QLatin1Char(','));
    for (int column = 0; column < cells.size(); ++column) {
      m_preview->setItem(static_cast<int>(row), column, new QTableWidgetItem(cells[column]));
    }
  }

  if (converted) {
    m_status->setText(Summary(result));
  } else {
    const QString detail = Text(ImportFailureDetail(m_source.toStdString(), result));
    m_status->setText(result.columnsNotFound
                          ? QStringLiteral("回別、抽せん日、当せん番号の列を選んでください。\n") +
                                detail
                          : QStringLiteral("変換できません: ") + detail);
  }
  m_convert->setEnabled(converted);
}

void CImportDlg::OnColumnChosen() {
  const std::optional<ImportColumns> columns = ChosenColumns();
  if (columns) {
    Refresh(columns);
    return;
  }
  m_preview->setRowCount(0);
  m_status->setText(QStringLiteral("回別、抽せん日、当せん番号に別々の列を選んでください。"));
  m_convert->setEnabled(false);
}

void CImportDlg::OnChooseDestination() {
  FileRequest request;
  request.mode = FileRequest::Mode::Save;
  request.nameFilters = CsvFilters();
  request.initialPath = m_dest->text();
  if (const std::optional<QString> chosen = ChooseFile(this, request)) {
    m_dest->setText(*chosen);
  }
}

void CImportDlg::OnConvert() {
  const QString dest = m_dest->text();
  const QString caption = QString::fromUtf16(kErrorCaption);
  if (dest.isEmpty()) {
    ShowMessageBox(this, QStringLiteral("保存先を入力してください。"), caption,
                   QMessageBox::Critical);
    return;
  }
  // The file is read again: it may have changed since the preview.
  ImportOptions options;
  options.encoding = m_encoding->currentIndex() == 1 ? TextEncoding::kUtf8 : TextEncoding::kCp932;
  options.columns = ChosenColumns();
  ImportResult result;
  std::string error;
  if (!ConvertHistorySource(m_source.toStdString(), options, result)) {
    error = ImportFailureDetail(m_source.toStdString(), result);
  } else if (!WriteImportedHistory(m_source.toStdString(), dest.toStdString(), result, error)) {
    error = dest.toStdString() + ": " + error;
  }
  if (!error.empty()) {
    ShowMessageBox(this, QStringLiteral("インポートに失敗しました。"), caption,
                   QMessageBox::Critical, Text(error));
    return;
  }
  m_written = dest;
  accept();
}

std::optional<QString> RunImport(QWidget* owner) {
  FileRequest request;
  request.title = QStringLiteral("インポートする結果ファイル");
  request.nameFilters = CsvFilters();
  const std::optional<QString> source = ChooseFile(owner, request);
  if (!source) {
    return std::nullopt;
  }
  CImportDlg dialog(*source, owner);
  if (RunModal(dialog) != QDialog::Accepted || dialog.WrittenPath().isEmpty()) {
    return std::nullopt;
  }
  return dialog.WrittenPath();
}

}  // namespace tolvane
