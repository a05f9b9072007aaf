#include "app/gui/modal.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <utility>

namespace tolvane {
namespace {

int ExecDialog(QDialog& dialog) { return dialog.exec(); }

std::optional<FileChoice> RealFileChooser(QWidget* owner, const FileRequest& request) {
  QFileDialog dialog(owner, request.title);
  const bool open = request.mode == FileRequest::Mode::Open;
  dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  if (!request.nameFilters.isEmpty()) {
    dialog.setNameFilters(request.nameFilters);
  }
  dialog.setOption(QFileDialog::HideNameFilterDetails, true);
  if (!request.initialPath.isEmpty()) {
    const QFileInfo initial(request.initialPath);
    if (initial.isDir()) {
      dialog.setDirectory(initial.absoluteFilePath());
    } else {
      dialog.setDirectory(initial.absolutePath());
      dialog.selectFile(initial.fileName());
    }
  }
  if (RunModal(dialog) != QDialog::Accepted) {
    return std::nullopt;
  }
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) {
    return std::nullopt;
  }
  return FileChoice{chosen.first(), dialog.selectedNameFilter()};
}

ModalRunner& CurrentRunner() {
  static ModalRunner runner = ExecDialog;
  return runner;
}

FileChooser& CurrentChooser() {
  static FileChooser chooser = RealFileChooser;
  return chooser;
}

}  // namespace

int RunModal(QDialog& dialog) {
  // A copy, so a runner that replaces itself while it runs stays alive.
  const ModalRunner runner = CurrentRunner();
  return runner(dialog);
}

ModalRunner SetModalRunner(ModalRunner runner) {
  ModalRunner previous = std::move(CurrentRunner());
  CurrentRunner() = runner ? std::move(runner) : ModalRunner(ExecDialog);
  return previous;
}

std::optional<FileChoice> ChooseFile(QWidget* owner, const FileRequest& request) {
  const FileChooser chooser = CurrentChooser();
  return chooser(owner, request);
}

FileChooser SetFileChooser(FileChooser chooser) {
  FileChooser previous = std::move(CurrentChooser());
  CurrentChooser() = chooser ? std::move(chooser) : FileChooser(RealFileChooser);
  return previous;
}

QString BesideHistory(const QString& history, const QString& name) {
  if (history.isEmpty()) {
    return name;
  }
  const QDir folder = QFileInfo(history).absoluteDir();
  if (!folder.exists()) {
    return name;
  }
  return name.isEmpty() ? folder.absolutePath() : folder.filePath(name);
}

}  // namespace tolvane
