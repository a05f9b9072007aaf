#include "app/gui/message_box.h"

#include <QCoreApplication>
#include <utility>

namespace tolvane {
namespace {

void ShowRealBox(QWidget* owner, const QString& text, const QString& caption,
                 QMessageBox::Icon icon, const QString& detail) {
  QMessageBox box(icon, caption, text, QMessageBox::Ok, owner);
  box.setTextFormat(Qt::PlainText);  // exception texts and paths are never markup
  if (!detail.isEmpty()) {
    box.setDetailedText(detail);
  }
  box.exec();
}

MessageBoxFunction& CurrentFunction() {
  static MessageBoxFunction function = ShowRealBox;
  return function;
}

}  // namespace

void ShowMessageBox(QWidget* owner, const QString& text, const QString& caption,
                    QMessageBox::Icon icon, const QString& detail) {
  const QString shownCaption = caption.isEmpty() ? QCoreApplication::applicationName() : caption;
  // A copy, so a box function that replaces itself while running stays alive.
  const MessageBoxFunction function = CurrentFunction();
  function(owner, text, shownCaption, icon, detail);
}

MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction function) {
  MessageBoxFunction previous = std::move(CurrentFunction());
  CurrentFunction() = function ? std::move(function) : MessageBoxFunction(ShowRealBox);
  return previous;
}

}  // namespace tolvane
