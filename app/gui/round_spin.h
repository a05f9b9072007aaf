#pragma once

#include <QWidget>
#include <functional>

class QToolButton;

namespace tolvane {

class RoundEdit;

// An up-down control: two arrow buttons with a position in a range, bound to a buddy edit whose
// text it reads before each step and writes after it. The owner hears of every step before it
// happens and may change or cancel it, as the dialog's handler needs.
class RoundSpin : public QWidget {
  Q_OBJECT

 public:
  // Gets the position and the proposed change; may rewrite the change. Return true to cancel.
  using DeltaPosHandler = std::function<bool(int pos, int& delta)>;

  explicit RoundSpin(QWidget* parent = nullptr);

  void SetBuddy(RoundEdit* buddy);
  RoundEdit* Buddy() const { return buddy_; }
  void SetDeltaPosHandler(DeltaPosHandler handler);

  // Lower and upper end, both included.
  void SetRange(int lower, int upper);
  int Lower() const { return lower_; }
  int Upper() const { return upper_; }

  // Moves to `pos` (kept within the range) and writes it into the buddy.
  void SetPos(int pos);
  // Takes up the number now in the buddy when it is one within the range, then returns the
  // position.
  int GetPos();
  int Pos() const { return pos_; }

  // What a press of the up (+1) or down (-1) arrow does.
  void Step(int direction);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  bool TakeUpBuddyNumber();
  void WriteBuddy();

  QToolButton* up_;
  QToolButton* down_;
  RoundEdit* buddy_ = nullptr;
  DeltaPosHandler handler_;
  int lower_ = 0;
  int upper_ = 100;
  int pos_ = 0;
};

// The position as the control writes it into its buddy: a comma between every group of three
// digits.
QString GroupedNumber(int value);

}  // namespace tolvane
