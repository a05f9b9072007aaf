#pragma once

#include <QLineEdit>
#include <QString>

namespace tolvane {

// The round-number edit: typing and pasting keep only the digits "0" to "9" and stop at a limit
// of typed digits, while text the program writes is taken as it stands. The Up and Down keys
// ask the attached spin to step.
class RoundEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit RoundEdit(QWidget* parent = nullptr);

  // How many digits the user may type or paste in; 0 means no limit.
  void SetTypingLimit(int digits);
  int TypingLimit() const { return typingLimit_; }

  // Replaces the text on the program's behalf, past the typing limit and the digit filter.
  void WriteText(const QString& text);

 signals:
  void StepRequested(int direction);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  class TypingFilter;
  friend class TypingFilter;

  int typingLimit_ = 0;
  bool programWriting_ = false;
  QString lastText_;  // the text before the edit now being validated
};

}  // namespace tolvane
