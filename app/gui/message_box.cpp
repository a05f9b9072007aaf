#include "app/gui/message_box.h"

#include <QAbstractButton>
#include <QStringList>
#include <utility>

#include "app/japanese_reasons.h"

namespace tolvane {
namespace {

QMessageBox::StandardButton ShowRealBox(QWidget* owner, const QString& text, const QString& caption,
                                        QMessageBox::Icon icon, const QString& detail,
                                        QMessageBox::StandardButtons buttons) {
  QMessageBox box(icon, caption, text, buttons, owner);
  box.setTextFormat(Qt::PlainText);  // exception texts and paths are never markup
  if (buttons.testFlag(QMessageBox::No)) {
    box.setDefaultButton(QMessageBox::No);
  }
  if (!detail.isEmpty()) {
    box.setDetailedText(detail);
  }
  box.exec();
  QAbstractButton* pressed = box.clickedButton();
  return pressed != nullptr ? box.standardButton(pressed) : QMessageBox::NoButton;
}

MessageBoxFunction& CurrentFunction() {
  static MessageBoxFunction function = ShowRealBox;
  return function;
}

QMessageBox::StandardButton Show(QWidget* owner, const QString& text, const QString& caption,
                                 QMessageBox::Icon icon, const QString& detail,
                                 QMessageBox::StandardButtons buttons) {
  // A copy, so a box function that replaces itself while running stays alive.
  const MessageBoxFunction function = CurrentFunction();
  return function(owner, text, caption, icon, detail, buttons);
}

}  // namespace

QString ApplicationTitle() { return QStringLiteral("Tolvane"); }

void ShowMessageBox(QWidget* owner, const QString& text, QMessageBox::Icon icon,
                    const QString& detail) {
  Show(owner, text, ApplicationTitle(), icon, JapaneseDetail(detail), QMessageBox::Ok);
}

QString JapaneseDetail(const QString& detail) {
  return detail.isEmpty() ? detail : QString::fromStdString(JapaneseReason(detail.toStdString()));
}

QString WarningsNote(const std::vector<std::string>& warnings) {
  return warnings.empty() ? QString()
                          : QStringLiteral("注意が %1 件あります (詳細)。").arg(warnings.size());
}

QString JapaneseDetails(const std::vector<std::string>& warnings) {
  QStringList lines;
  for (const std::string& warning : warnings) {
    lines << QString::fromStdString(JapaneseReason(warning));
  }
  return lines.join(QLatin1Char('\n'));
}

bool AskYesNo(QWidget* owner, const QString& text) {
  return Show(owner, text, ApplicationTitle(), QMessageBox::Question, QString(),
              QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void ShowSecondCopyWarning(const QString& text) {
  Show(nullptr, text, QStringLiteral("二重起動防止"), QMessageBox::Warning, QString(),
       QMessageBox::Ok);
}

MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction function) {
  MessageBoxFunction previous = std::move(CurrentFunction());
  CurrentFunction() = function ? std::move(function) : MessageBoxFunction(ShowRealBox);
  return previous;
}

}  // namespace tolvane
