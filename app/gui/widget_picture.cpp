#include "app/gui/widget_picture.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QWidget>

namespace tolvane {
namespace {

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

bool Fail(QString* error, const QString& reason) {
  if (error != nullptr) {
    *error = reason;
  }
  return false;
}

}  // namespace

bool SaveWidgetPicture(QWidget& widget, const QString& path, QString* error) {
  const bool svg = path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive);
  const QByteArray bytes = svg ? SvgBytes(widget) : PngBytes(widget);
  if (bytes.isEmpty()) {
    return Fail(error, QStringLiteral("the picture could not be drawn"));
  }
  // Written aside and renamed over the target, so a failed write leaves no half a picture.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    return Fail(error, file.errorString());
  }
  if (file.write(bytes) != bytes.size() || !file.commit()) {
    return Fail(error, file.errorString());
  }
  return true;
}

}  // namespace tolvane
