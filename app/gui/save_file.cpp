#include "app/gui/save_file.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPixmap>
#include <QSvgGenerator>
#include <QWidget>
#include <string>
#include <string_view>

#include "app/gui/message_box.h"
#include "app/gui/modal.h"
#include "core/replace_file.h"

namespace tolvane {
namespace {

QString Extension(SaveFormat format) {
  switch (format) {
    case SaveFormat::kSvg:
      return QStringLiteral("svg");
    case SaveFormat::kCsv:
      return QStringLiteral("csv");
    case SaveFormat::kPng:
      break;
  }
  return QStringLiteral("png");
}

QByteArray SvgBytes(QWidget& widget) {
  QBuffer buffer;
  QSvgGenerator generator;
  generator.setOutputDevice(&buffer);
  generator.setSize(widget.size());
  generator.setViewBox(widget.rect());
  generator.setTitle(widget.window()->windowTitle());
  QPainter painter;
  if (!painter.begin(&generator)) {
    return {};
  }
  widget.render(&painter);
  painter.end();
  return buffer.data();
}

QByteArray PngBytes(QWidget& widget) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  if (!widget.grab().toImage().save(&buffer, "PNG")) {
    return {};
  }
  return buffer.data();
}

}  // namespace

QString SaveFilter(SaveFormat format) {
  switch (format) {
    case SaveFormat::kSvg:
      return QStringLiteral("SVG 画像 (*.svg)");
    case SaveFormat::kCsv:
      return QStringLiteral("CSV (*.csv)");
    case SaveFormat::kPng:
      break;
  }
  return QStringLiteral("PNG 画像 (*.png)");
}

std::optional<SaveTarget> ChooseSaveTarget(QWidget* owner, const QString& title,
                                           const std::vector<SaveFormat>& formats,
                                           const QString& initialPath) {
  FileRequest request;
  request.mode = FileRequest::Mode::Save;
  request.title = title;
  for (const SaveFormat format : formats) {
    request.nameFilters.append(SaveFilter(format));
  }
  request.initialPath = initialPath;
  const std::optional<FileChoice> chosen = ChooseFile(owner, request);
  if (!chosen || formats.empty()) {
    return std::nullopt;
  }
  // A filter the dialog made up (none of ours) leaves the first format.
  const qsizetype at = request.nameFilters.indexOf(chosen->nameFilter);
  SaveTarget target{chosen->path, formats[at < 0 ? 0 : static_cast<std::size_t>(at)]};
  if (QFileInfo(target.path).suffix().isEmpty()) {
    if (!target.path.endsWith(QLatin1Char('.'))) {
      target.path += QLatin1Char('.');
    }
    target.path += Extension(target.format);
  }
  return target;
}

QByteArray PictureBytes(QWidget& widget, SaveFormat format) {
  return format == SaveFormat::kSvg ? SvgBytes(widget) : PngBytes(widget);
}

bool WriteSavedFile(QWidget* owner, const QString& path, const QByteArray& bytes) {
  if (bytes.isEmpty()) {
    ShowMessageBox(owner, QStringLiteral("画像を描けませんでした: %1").arg(path),
                   QMessageBox::Critical);
    return false;
  }
  std::string error;
  if (!ReplaceFileContents(
          QFile::encodeName(path).toStdString(),
          std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), error)) {
    ShowMessageBox(owner, QStringLiteral("保存できませんでした: %1").arg(path),
                   QMessageBox::Critical,
                   path + QStringLiteral(": ") + QString::fromStdString(error));
    return false;
  }
  return true;
}

}  // namespace tolvane
