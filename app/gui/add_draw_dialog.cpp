#include "app/gui/add_draw_dialog.h"

#include <QDateEdit>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>
#include <utility>

#include "app/gui/dialog_font.h"
#include "app/gui/dialog_parts.h"
#include "app/gui/history_to_update.h"
#include "app/gui/message_box.h"
#include "app/gui/modal.h"
#include "app/gui/status_line.h"
#include "core/locked_update.h"
#include "history/history_import.h"

namespace tolvane {
namespace {

QDate ToQDate(std::chrono::year_month_day date) {
  return {static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())),
          static_cast<int>(static_cast<unsigned>(date.day()))};
}

std::chrono::year_month_day FromQDate(const QDate& date) {
  return std::chrono::year{date.year()} / std::chrono::month{static_cast<unsigned>(date.month())} /
         std::chrono::day{static_cast<unsigned>(date.day())};
}

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

// Monday to Friday but 31 December to 3 January: the day after the one before is itself.
bool IsDrawDay(const QDate& date) {
  const auto day = std::chrono::sys_days(FromQDate(date));
  return std::chrono::sys_days(NextDrawDay(day - std::chrono::days(1))) == day;
}

}  // namespace

AddDrawDialog::AddDrawDialog(const HistoryChoice& choice, HistoryContents contents, QWidget* parent)
    : QDialog(parent, kDialogWindowFlags), choice_(choice), contents_(std::move(contents)) {
  setWindowTitle(QStringLiteral("当選番号の追加"));
  setFont(DialogFont());

  const bool empty = contents_.draws.empty();
  const std::int64_t highest = empty ? 0 : contents_.draws.back().round;
  round_ = new QSpinBox(this);
  round_->setObjectName(QStringLiteral("roundSpin"));
  round_->setRange(1, std::numeric_limits<std::int32_t>::max());
  round_->setValue(static_cast<int>(
      std::min<std::int64_t>(highest + 1, std::numeric_limits<std::int32_t>::max())));
  round_->setPrefix(QStringLiteral("第"));
  round_->setSuffix(QStringLiteral("回"));
  date_ = new QDateEdit(this);
  date_->setObjectName(QStringLiteral("dateEdit"));
  date_->setDisplayFormat(QStringLiteral("yyyy/M/d"));
  date_->setCalendarPopup(true);
  date_->setDate(empty ? QDate::currentDate() : ToQDate(NextDrawDay(contents_.draws.back().date)));
  number_ = new QLineEdit(this);
  number_->setObjectName(QStringLiteral("numberEdit"));
  const int places = PlaceCount(choice_.game);
  number_->setPlaceholderText(places == 4 ? QStringLiteral("1234") : QStringLiteral("123"));
  preview_ = new QLabel(this);
  preview_->setObjectName(QStringLiteral("previewLabel"));
  preview_->setTextFormat(Qt::PlainText);
  preview_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  status_ = new StatusLine(this);
  add_ = new QPushButton(QStringLiteral("追加"), this);
  add_->setObjectName(QStringLiteral("addButton"));

  auto* historyLabel = new QLabel(choice_.path, this);
  historyLabel->setTextFormat(Qt::PlainText);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("履歴ファイル"), historyLabel);
  form->addRow(QStringLiteral("回別"), round_);
  // Any date is taken (a draw may have been moved); one that is no draw day is pointed out.
  dateNote_ = new QLabel(this);
  dateNote_->setObjectName(QStringLiteral("dateNote"));
  auto* dateRow = new QHBoxLayout;
  dateRow->addWidget(date_);
  dateRow->addWidget(dateNote_, 1);
  form->addRow(QStringLiteral("抽せん日"), dateRow);
  form->addRow(QStringLiteral("当せん番号"), number_);
  form->addRow(QStringLiteral("追加する行"), preview_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(status_);
  layout->addStretch();
  layout->addLayout(ActionRow(this, add_));

  connect(round_, &QSpinBox::valueChanged, this, &AddDrawDialog::Refresh);
  connect(date_, &QDateEdit::dateChanged, this, [this] {
    dateEntered_ = true;
    Refresh();
  });
  connect(number_, &QLineEdit::textChanged, this, &AddDrawDialog::Refresh);
  connect(add_, &QPushButton::clicked, this, &AddDrawDialog::OnAdd);

  resize(480, 260);
  number_->setFocus();  // the round and date start right; the number is what is typed
  Refresh();
}

std::optional<std::string> AddDrawDialog::Digits() const {
  std::optional<std::string> digits = AsciiDigits(number_->text().toStdString());
  if (!digits || digits->size() != static_cast<std::size_t>(PlaceCount(choice_.game))) {
    return std::nullopt;
  }
  return digits;
}

DrawAddition AddDrawDialog::Planned(const HistoryContents& history) const {
  DrawAddition addition = PlanDrawAddition(QFile::encodeName(choice_.path).toStdString(), history,
                                           round_->value(), FromQDate(date_->date()));
  if (const std::optional<std::string> digits = Digits()) {
    for (std::size_t place = 0; place < digits->size(); ++place) {
      addition.draw.digits[place] = static_cast<std::uint8_t>((*digits)[place] - '0');
    }
  }
  return addition;
}

void AddDrawDialog::Refresh() {
  dateNote_->setText(IsDrawDay(date_->date())
                         ? QString()
                         : QStringLiteral("抽せん日ではありません (土日・12/31〜1/3)"));
  const DrawAddition addition = Planned(contents_);
  const std::optional<std::string> digits = Digits();
  const bool empty = contents_.draws.empty();
  const std::int64_t highest = empty ? 0 : contents_.draws.back().round;
  const std::int64_t round = round_->value();
  const bool gap = !addition.warning.empty();
  const bool ready = addition.failure.empty() && digits.has_value() && (!gap || dateEntered_);
  preview_->setText(addition.failure.empty() && digits
                        ? Text(HistoryLine(addition.draw, choice_.game, contents_.payoutColumns))
                        : QString());
  add_->setEnabled(ready);

  if (!addition.failure.empty()) {
    const bool held =
        std::any_of(contents_.draws.begin(), contents_.draws.end(),
                    [round](const ImportedDraw& draw) { return draw.round == round; });
    QString text;
    if (round <= highest) {
      text = held ? QStringLiteral("%1 は既にあります。").arg(Text(RoundName(round)))
                  : QStringLiteral("%1 は最も大きい回 %2 の後ではありません。")
                        .arg(Text(RoundName(round)), Text(RoundName(highest)));
    } else {
      // Past the round checks only the date can fail, and only with a newest draw.
      text = QStringLiteral("抽せん日が最新の回の日付 %1 より後ではありません。")
                 .arg(Text(HistoryDateText(contents_.draws.back().date)));
    }
    status_->Show(text, Text(addition.failure));
    return;
  }
  if (gap) {
    const QString missing = RoundsName(highest + 1, round - 1);
    status_->Show(
        dateEntered_ ? QStringLiteral("%1 がありません。欠番のまま追加します。").arg(missing)
                     : QStringLiteral("%1 がありません。抽せん日を入力してください。").arg(missing),
        Text(addition.warning));
    return;
  }
  status_->Show(digits ? QString()
                       : QStringLiteral("当せん番号を %1 桁の数字で入力してください。")
                             .arg(PlaceCount(choice_.game)),
                QString());
}

void AddDrawDialog::OnAdd() {
  const std::string path = QFile::encodeName(choice_.path).toStdString();
  // The file is read again, under the lock every writer of a history takes: it may have changed
  // since the dialog opened.
  HistoryToUpdate fresh;
  DrawAddition addition;
  std::string bytes;
  std::string error;
  const UpdateOutcome outcome = UpdateFileLocked(
      path,
      [&](ByteProducer& produce) {
        fresh = ReadHistoryToUpdate(choice_, "add");
        if (!fresh.ok) {
          return false;
        }
        addition = Planned(fresh.contents);
        error = addition.failure;
        if (error.empty() && !addition.warning.empty() && !dateEntered_) {
          error = addition.warning;
        }
        if (!error.empty()) {
          return false;
        }
        const std::optional<std::string> appended = WithDrawAppended(fresh.contents, addition.draw);
        if (!appended) {
          error = path + ": the new line has no form in its encoding";
          return false;
        }
        bytes = *appended;
        produce = [&bytes](const ByteSink& sink, std::string&) { return sink(bytes); };
        return true;
      },
      error);
  if (outcome == UpdateOutcome::kRefusedByAttempt && !fresh.ok) {
    ShowMessageBox(this, fresh.text, QMessageBox::Critical, fresh.detail);
    return;
  }
  if (outcome == UpdateOutcome::kFailed) {
    error = path + ": " + error;
  }
  if (outcome != UpdateOutcome::kWritten) {
    ShowMessageBox(this, QStringLiteral("追加できませんでした。"), QMessageBox::Critical,
                   Text(error));
    return;
  }
  added_ = addition.draw.round;
  accept();
}

std::optional<std::int32_t> RunAddDraw(QWidget* owner, const HistoryChoice& choice) {
  HistoryToUpdate read = ReadHistoryToUpdate(choice, "add");
  if (!read.ok) {
    ShowMessageBox(owner, read.text, QMessageBox::Critical, read.detail);
    return std::nullopt;
  }
  AddDrawDialog dialog(choice, std::move(read.contents), owner);
  if (RunModal(dialog) != QDialog::Accepted) {
    return std::nullopt;
  }
  return dialog.AddedRound();
}

}  // namespace tolvane
