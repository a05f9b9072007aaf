#pragma once

#include <QString>

class QWidget;

namespace tolvane {

// Writes what `widget` shows to `path`: SVG when the name ends in ".svg" (any case), PNG
// otherwise. The file is replaced only once the whole picture is written; on failure it is left
// as it was and `error`, when given, says why.
bool SaveWidgetPicture(QWidget& widget, const QString& path, QString* error = nullptr);

}  // namespace tolvane
