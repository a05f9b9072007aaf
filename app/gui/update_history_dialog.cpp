#include "app/gui/update_history_dialog.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/gui/dialog_font.h"
#include "app/gui/dialog_parts.h"
#include "app/gui/history_to_update.h"
#include "app/gui/message_box.h"
#include "app/gui/modal.h"
#include "app/gui/option_labels.h"
#include "app/gui/status_line.h"
#include "app/history_update_checks.h"
#include "app/messages.h"
#include "core/locked_update.h"
#include "history/history_import.h"
#include "history/history_update.h"

namespace tolvane {
namespace {

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

std::string Local(const QString& path) { return QFile::encodeName(path).toStdString(); }

// What merging the source into the history would do, read afresh.
struct MergeReading {
  bool ready = false;    // something to add and nothing in the way
  QString text;          // the status in the window's words
  QString detail;        // the command line's reason, when refused
  bool created = false;  // the history does not exist yet: written as an import writes it
  ImportResult source;
  HistoryContents history;
  MergePlan plan;
};

QString CountsText(const MergePlan& plan, bool created) {
  if (plan.added.empty()) {
    return QStringLiteral("追加する回はありません (%1 回分は既にあります)。")
        .arg(Grouped(plan.alreadyThere));
  }
  QString text = QStringLiteral("%1 回分を追加します (%2)。%3 回分は既にあります。欠番 %4。")
                     .arg(Grouped(plan.added.size()),
                          RoundsName(plan.added.front().round, plan.added.back().round),
                          Grouped(plan.alreadyThere), Grouped(plan.missingRounds));
  return created ? text + QStringLiteral("履歴ファイルは新しく作ります。") : text;
}

MergeReading ReadMerge(const QString& source, TextEncoding encoding, const HistoryChoice& history) {
  MergeReading reading;
  if (history.path.isEmpty()) {
    reading.text = QString::fromStdU16String(kEmptyPathText);
    return reading;
  }
  ImportOptions options;
  options.encoding = encoding;
  options.game = history.game;
  if (!ConvertHistorySource(Local(source), options, reading.source)) {
    reading.text = reading.source.columnsNotFound
                       ? QStringLiteral(
                             "見出しに回別・抽せん日・当せん番号の列の名前が見つかり"
                             "ません。インポートで列を選んで変換してください。")
                       : QStringLiteral("結果ファイルを変換できません。");
    reading.detail = Text(ImportFailureDetail(Local(source), reading.source));
    return reading;
  }
  const QFileInfo target(history.path);
  reading.created = !target.exists();
  if (reading.created) {
    reading.plan.added = reading.source.draws;
    reading.plan.missingRounds = reading.source.MissingRounds();
  } else {
    if (target.canonicalFilePath() == QFileInfo(source).canonicalFilePath()) {
      reading.text = QStringLiteral("結果ファイルが履歴ファイルそのものです。");
      return reading;
    }
    // Merged as import writes: code page 932, whatever the main window reads with.
    HistoryToUpdate read =
        ReadHistoryToUpdate({history.path, TextEncoding::kCp932, history.game}, "import --into");
    if (!read.ok) {
      reading.text = read.text;
      reading.detail = read.detail;
      return reading;
    }
    reading.history = std::move(read.contents);
    reading.plan = PlanMerge(reading.history, reading.source.draws);
    if (reading.plan.sourceLine != 0) {
      const auto conflict = std::find_if(
          reading.source.draws.begin(), reading.source.draws.end(),
          [&reading](const ImportedDraw& draw) { return draw.line == reading.plan.sourceLine; });
      reading.text =
          QStringLiteral("%1 が結果ファイルと履歴ファイルで違います。更新できません。")
              .arg(conflict == reading.source.draws.end() ? QString()
                                                          : Text(RoundName(conflict->round)));
      reading.detail = Text(MergeConflictDetail(Local(source), Local(history.path), reading.plan));
      return reading;
    }
  }
  std::vector<std::string> warnings = SourceWarnings(Local(source), reading.source);
  if (!reading.created) {
    const std::vector<std::string> merging = MergeWarnings(
        Local(source), Local(history.path), reading.source, reading.history, reading.plan);
    warnings.insert(warnings.end(), merging.begin(), merging.end());
  }
  reading.text = CountsText(reading.plan, reading.created) + WarningsNote(warnings);
  reading.detail = JapaneseDetails(warnings);
  reading.ready = !reading.plan.added.empty();
  return reading;
}

}  // namespace

UpdateHistoryDialog::UpdateHistoryDialog(const QString& source, const HistoryChoice& history,
                                         QWidget* parent)
    : QDialog(parent, kDialogWindowFlags), source_(source), history_(history) {
  setWindowTitle(QStringLiteral("結果ファイルで更新"));
  setFont(DialogFont());

  auto* sourceLabel = new QLabel(source, this);
  sourceLabel->setObjectName(QStringLiteral("sourceLabel"));
  sourceLabel->setTextFormat(Qt::PlainText);
  auto* historyLabel = new QLabel(history.path, this);
  historyLabel->setTextFormat(Qt::PlainText);
  encoding_ = SourceEncodingCombo(this);
  status_ = new StatusLine(this);
  update_ = new QPushButton(QStringLiteral("更新"), this);
  update_->setObjectName(QStringLiteral("updateButton"));

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("結果ファイル"), sourceLabel);
  form->addRow(QStringLiteral("文字コード"), encoding_);
  form->addRow(QStringLiteral("履歴ファイル"), historyLabel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(status_);
  layout->addStretch();
  layout->addLayout(ActionRow(this, update_));

  connect(encoding_, &QComboBox::currentIndexChanged, this, &UpdateHistoryDialog::Refresh);
  connect(update_, &QPushButton::clicked, this, &UpdateHistoryDialog::OnUpdate);

  resize(520, 220);
  Refresh();
}

void UpdateHistoryDialog::Refresh() {
  const MergeReading reading = ReadMerge(source_, ChosenEncoding(*encoding_), history_);
  status_->Show(reading.text, reading.detail);
  update_->setEnabled(reading.ready);
}

void UpdateHistoryDialog::OnUpdate() {
  // Both files are read again, the history under the lock every writer of a history takes:
  // either may have changed since the counts were shown.
  MergeReading reading;
  std::string error;
  const std::string path = Local(history_.path);
  const UpdateOutcome outcome = UpdateFileLocked(
      path,
      [&](ByteProducer& produce) {
        reading = ReadMerge(source_, ChosenEncoding(*encoding_), history_);
        if (!reading.ready) {
          return false;
        }
        if (reading.created) {
          // Written below: a new file has nothing to be read again.
          return true;
        }
        produce = [&reading](const ByteSink& sink, std::string& why) {
          return WriteMergedHistory(reading.history, reading.plan, sink, why);
        };
        return true;
      },
      error);
  if (outcome == UpdateOutcome::kRefusedByAttempt) {
    status_->Show(reading.text, reading.detail);
    update_->setEnabled(false);
    ShowMessageBox(this, QStringLiteral("更新できませんでした。"), QMessageBox::Critical,
                   reading.detail.isEmpty() ? reading.text : reading.detail);
    return;
  }
  const bool written = outcome == UpdateOutcome::kWritten ||
                       (outcome == UpdateOutcome::kNothingToWrite &&
                        WriteImportedHistory(Local(source_), path, reading.source, error));
  if (!written) {
    ShowMessageBox(this, QStringLiteral("更新できませんでした。"), QMessageBox::Critical,
                   Text(path + ": " + error));
    return;
  }
  std::int32_t highest = reading.plan.added.back().round;
  if (!reading.history.draws.empty()) {
    highest = std::max(highest, reading.history.draws.back().round);
  }
  highest_ = highest;
  accept();
}

std::optional<std::int32_t> RunUpdateHistory(QWidget* owner, const HistoryChoice& history) {
  if (history.path.isEmpty()) {
    ShowMessageBox(owner, QString::fromStdU16String(kEmptyPathText), QMessageBox::Critical);
    return std::nullopt;
  }
  FileRequest request;
  request.title = QStringLiteral("更新に使う結果ファイル");
  request.nameFilters = {QStringLiteral("CSV ファイル (*.csv)"),
                         QStringLiteral("すべてのファイル (*)")};
  request.initialPath = BesideHistory(history.path);
  const std::optional<FileChoice> source = ChooseFile(owner, request);
  if (!source) {
    return std::nullopt;
  }
  UpdateHistoryDialog dialog(source->path, history, owner);
  if (RunModal(dialog) != QDialog::Accepted) {
    return std::nullopt;
  }
  return dialog.HighestRound();
}

}  // namespace tolvane
