#pragma once

class QLabel;
class QPlainTextEdit;

namespace tolvane {

// The right-click menu of a read-only text (copyMenu): コピー, taking the selection to the
// clipboard, and すべてを選択, both in Japanese whether or not Qt's own translations are installed.
// The result text and the tickets box give the same menu.
void GiveCopyMenu(QLabel* label);
void GiveCopyMenu(QPlainTextEdit* edit);

}  // namespace tolvane
