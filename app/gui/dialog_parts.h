#pragma once

#include <QDialog>

#include "core/text_decoder.h"

class QComboBox;
class QHBoxLayout;
class QPushButton;
class QWidget;

namespace tolvane {

// A dialog's frame: a title bar with only the close button, no help or size buttons.
inline constexpr Qt::WindowFlags kDialogWindowFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowCloseButtonHint;

// The choice of a results file's encoding (encodingCombo): code page 932 first, then UTF-8.
QComboBox* SourceEncodingCombo(QWidget* parent);
TextEncoding ChosenEncoding(const QComboBox& combo);

// The row that closes a dialog, on the right: its action, pressed by Enter, then キャンセル
// (cancelButton), which rejects it.
QHBoxLayout* ActionRow(QDialog* dialog, QPushButton* action);

}  // namespace tolvane
