#pragma once

#include <QFont>
#include <QRect>

namespace tolvane {

// The font the dialogs are laid out in: "MS UI Gothic" 9 pt where installed, else the system's
// Japanese UI font at the same size.
QFont DialogFont();

// Dialog units of a font: horizontally a quarter of the average character width, vertically an
// eighth of the character height, so the dialogs keep their proportions in any font.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);

  int X(int units) const;
  int Y(int units) const;
  QRect Rect(int x, int y, int width, int height) const;

  int AverageCharWidth() const { return averageCharWidth_; }
  int CharHeight() const { return charHeight_; }

 private:
  int averageCharWidth_;
  int charHeight_;
};

}  // namespace tolvane
