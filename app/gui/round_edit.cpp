#include "app/gui/round_edit.h"

#include <QKeyEvent>
#include <QValidator>
#include <algorithm>

namespace tolvane {
namespace {

bool IsAsciiDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

qsizetype CountDigits(const QString& text) {
  return std::count_if(text.begin(), text.end(), IsAsciiDigit);
}

}  // namespace

// Sees every user edit as the whole new text and the caret after it. The inserted stretch ends
// at the caret: typing and pasting put the caret right after what they inserted, so the text
// after the caret is the old text's tail. Matching the tail from the caret rather than from the
// end matters when the new digits repeat old ones ("6501" selected, "1" typed). The stretch loses
// its non-digits and is cut to the room the limit leaves. Counting digits rather than characters
// lets "1,234" pasted into an empty edit arrive as "1234". Qt validates the corrected text once
// more; it then finds nothing inserted and keeps the caret.
class RoundEdit::TypingFilter : public QValidator {
 public:
  explicit TypingFilter(RoundEdit* edit) : QValidator(edit), edit_(edit) {}

  State validate(QString& input, int& pos) const override {
    if (edit_->programWriting_) {
      return Acceptable;
    }
    const QString& before = edit_->lastText_;
    const qsizetype caret = std::clamp<qsizetype>(pos, 0, input.size());
    const qsizetype shorter = std::min(before.size(), input.size());
    qsizetype suffix = 0;
    while (suffix < std::min(shorter, input.size() - caret) &&
           before[before.size() - 1 - suffix] == input[input.size() - 1 - suffix]) {
      ++suffix;
    }
    qsizetype prefix = 0;
    while (prefix < std::min(caret, shorter - suffix) && before[prefix] == input[prefix]) {
      ++prefix;
    }
    const QString head = input.left(prefix);
    const QString tail = input.right(suffix);
    QString inserted;
    for (const QChar c : input.mid(prefix, input.size() - prefix - suffix)) {
      if (IsAsciiDigit(c)) {
        inserted.append(c);
      }
    }
    if (edit_->typingLimit_ > 0) {
      const qsizetype room =
          std::max<qsizetype>(0, edit_->typingLimit_ - CountDigits(head) - CountDigits(tail));
      inserted.truncate(room);
    }
    input = head + inserted + tail;
    pos = static_cast<int>(head.size() + inserted.size());
    return Acceptable;
  }

 private:
  RoundEdit* edit_;
};

RoundEdit::RoundEdit(QWidget* parent) : QLineEdit(parent) {
  // Connected before anyone else, so every other listener already sees the new text here too.
  connect(this, &QLineEdit::textChanged, this, [this](const QString& text) { lastText_ = text; });
  setValidator(new TypingFilter(this));
}

void RoundEdit::SetTypingLimit(int digits) { typingLimit_ = std::max(0, digits); }

void RoundEdit::WriteText(const QString& text) {
  const bool outer = programWriting_;
  programWriting_ = true;
  setText(text);
  programWriting_ = outer;
  lastText_ = this->text();
}

void RoundEdit::keyPressEvent(QKeyEvent* event) {
  if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
    if (event->key() == Qt::Key_Up) {
      emit StepRequested(1);
      return;
    }
    if (event->key() == Qt::Key_Down) {
      emit StepRequested(-1);
      return;
    }
  }
  QLineEdit::keyPressEvent(event);
}

}  // namespace tolvane
