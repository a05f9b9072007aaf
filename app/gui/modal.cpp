#include "app/gui/modal.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <utility>

namespace tolvane {
namespace {

int ExecDialog(QDialog& dialog) { return dialog.exec(); }

// "SVG 画像" of "SVG 画像 (*.svg)": what the chooser shows with the patterns hidden.
QString FilterLabel(const QString& filter) {
  const qsizetype open = filter.lastIndexOf(QLatin1Char('('));
  return (filter.endsWith(QLatin1Char(')')) && open > 0 ? filter.left(open) : filter).simplified();
}

// The request's filter the chooser reports as `selected`. With the patterns hidden the toolkit
// gives the label alone, which would match none of the request's and lose the type chosen.
QString RequestedFilter(const QStringList& filters, const QString& selected) {
  if (filters.contains(selected)) {
    return selected;
  }
  for (const QString& filter : filters) {
    if (FilterLabel(filter) == selected.simplified()) {
      return filter;
    }
  }
  return selected;
}

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
  return FileChoice{chosen.first(),
                    RequestedFilter(request.nameFilters, dialog.selectedNameFilter())};
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
