#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QDialog;
class QWidget;

namespace tolvane {

// Every modal dialog and file chooser of the application goes through these two hooks, so a test
// answers them in advance and never waits on a modal loop (the message boxes have their own hook
// in message_box.h).

// Runs `dialog` modally and returns its result code.
using ModalRunner = std::function<int(QDialog& dialog)>;
int RunModal(QDialog& dialog);
// Replaces the runner; an empty function brings back QDialog::exec. Returns the previous one.
ModalRunner SetModalRunner(ModalRunner runner);

// What a file chooser is asked for.
struct FileRequest {
  enum class Mode { Open, Save };
  Mode mode = Mode::Open;
  QString title;            // empty: the toolkit's own title
  QStringList nameFilters;  // e.g. "PNG (*.png)"; the first one is selected
  QString initialPath;      // a folder or a file to start from; empty: the working folder
};

// What the user chose: the file, and the name filter selected when the chooser closed (one of
// the request's; empty when it had none).
struct FileChoice {
  QString path;
  QString nameFilter;
};

// Asks the user for a file; nullopt when the chooser was cancelled.
using FileChooser =
    std::function<std::optional<FileChoice>(QWidget* owner, const FileRequest& request)>;
std::optional<FileChoice> ChooseFile(QWidget* owner, const FileRequest& request);
// Replaces the chooser; an empty function brings back the real one. Returns the previous one.
FileChooser SetFileChooser(FileChooser chooser);

// Where a chooser starts: `name` in the folder of `history` (a history path as the main window's
// edit holds it), or that folder itself when `name` is empty. Without a history, or when its
// folder is gone, just `name`: the working folder.
QString BesideHistory(const QString& history, const QString& name = QString());

}  // namespace tolvane
