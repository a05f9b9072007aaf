#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

class QWidget;

namespace tolvane {

// How the windows' 保存 buttons save: the type chosen in the save dialog decides what is
// written, and every file is replaced all or nothing.

enum class SaveFormat { kPng, kSvg, kCsv };

struct SaveTarget {
  QString path;
  SaveFormat format = SaveFormat::kPng;
};

// The save dialog's name filter for `format`: "PNG 画像 (*.png)".
QString SaveFilter(SaveFormat format);

// Asks where to save, offering `formats` (the first one selected) and starting at
// `initialPath`. The type chosen decides the format, and its extension is added when the name
// has none. nullopt when the dialog was cancelled.
std::optional<SaveTarget> ChooseSaveTarget(QWidget* owner, const QString& title,
                                           const std::vector<SaveFormat>& formats,
                                           const QString& initialPath);

// What `widget` shows, drawn as a PNG or SVG picture (a CSV format gives PNG); empty when it
// could not be drawn.
QByteArray PictureBytes(QWidget& widget, SaveFormat format);

// Replaces the file at `path` with `bytes` through ReplaceFileContents: on failure the file is
// as it was, and a box owned by `owner` says so, the reason in its details. Empty bytes are a
// picture that could not be drawn, reported as such. True when written.
bool WriteSavedFile(QWidget* owner, const QString& path, const QByteArray& bytes);

}  // namespace tolvane
