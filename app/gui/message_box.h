#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

namespace tolvane {

// Shows a modal OK box and returns once it is closed. `owner` may be null (no owner window);
// a `detail` that is not empty is the box's detailed text, shown on request.
using MessageBoxFunction =
    std::function<void(QWidget* owner, const QString& text, const QString& caption,
                       QMessageBox::Icon icon, const QString& detail)>;

// Every box of the application goes through here. An empty caption becomes the application's
// name, which is the executable's base name unless set otherwise.
void ShowMessageBox(QWidget* owner, const QString& text, const QString& caption,
                    QMessageBox::Icon icon, const QString& detail = QString());

// Replaces the box function, e.g. with one that records and answers at once so that no test
// waits on a modal box. An empty function brings the real boxes back. Returns the previous one.
MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction function);

}  // namespace tolvane
