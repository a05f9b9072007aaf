#pragma once

#include <QLineEdit>

namespace tolvane {

// The history's path, in a field narrower than most paths: while the field has no focus it shows
// the path's end, the file's name, with the start elided ("…/numbers3-sample.csv"); focused, the
// whole path to edit. text() is always the whole path, and so is the tooltip.
class PathEdit : public QLineEdit {
 public:
  explicit PathEdit(QWidget* parent = nullptr);

  // What the field shows while it has no focus.
  QString ShownText() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // Where the text goes inside the frame.
  QRect TextRoom() const;
};

}  // namespace tolvane
