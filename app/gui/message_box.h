#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace tolvane {

// The program's name as its windows and boxes are titled.
QString ApplicationTitle();

// Shows a modal box with `buttons` and returns the one pressed (NoButton when it was closed
// otherwise). `owner` may be null (no owner window); a `detail` that is not empty is the box's
// detailed text, shown on request.
using MessageBoxFunction = std::function<QMessageBox::StandardButton(
    QWidget* owner, const QString& text, const QString& caption, QMessageBox::Icon icon,
    const QString& detail, QMessageBox::StandardButtons buttons)>;

// The command line's reason `detail` as the window gives it, in Japanese (JapaneseReason).
QString JapaneseDetail(const QString& detail);

// Warnings a dialog goes on despite: beside its verdict, "注意が N 件あります (詳細)。" (empty
// for none), and for 詳細 each warning in Japanese on a line of its own.
QString WarningsNote(const std::vector<std::string>& warnings);
QString JapaneseDetails(const std::vector<std::string>& warnings);

// Every box of the application goes through here, titled ApplicationTitle(). Shows an OK box and
// returns once it is closed; its `detail` in Japanese.
void ShowMessageBox(QWidget* owner, const QString& text, QMessageBox::Icon icon,
                    const QString& detail = QString());

// Asks a yes-or-no question, No being the default; true only when Yes was pressed.
bool AskYesNo(QWidget* owner, const QString& text);

// The one box titled otherwise: a second copy's warning, owned by no window, keeps the title
// 二重起動防止 by which it has always been told from the main window's (and is found by
// tests/gui/single_instance_e2e.sh).
void ShowSecondCopyWarning(const QString& text);

// Replaces the box function, e.g. with one that records and answers at once so that no test
// waits on a modal box. An empty function brings the real boxes back. Returns the previous one.
MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction function);

}  // namespace tolvane
