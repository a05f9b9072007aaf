#include "app/gui/dialog_font.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

namespace tolvane {
namespace {

constexpr int kDialogPointSize = 9;

// Proportional Japanese UI faces first; the monospaced ones only when nothing better exists.
const QStringList& JapaneseUiFamilies() {
  static const QStringList families = {
      QStringLiteral("MS UI Gothic"),     QStringLiteral("IPAPGothic"),
      QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Source Han Sans JP"),
      QStringLiteral("VL PGothic"),       QStringLiteral("TakaoPGothic"),
      QStringLiteral("IPAexGothic"),      QStringLiteral("IPAGothic"),
  };
  return families;
}

// Rounds units * base / 4 to the nearest pixel, halves away from zero.
int Scale(int units, int base, int divisor) {
  const long long product = static_cast<long long>(units) * base;
  const long long half = divisor / 2;
  return static_cast<int>(product >= 0 ? (product + half) / divisor : (product - half) / divisor);
}

}  // namespace

QFont DialogFont() {
  const QStringList installed = QFontDatabase::families();
  for (const QString& family : JapaneseUiFamilies()) {
    if (installed.contains(family, Qt::CaseInsensitive)) {
      return QFont(family, kDialogPointSize);
    }
  }
  // Any face that covers Japanese, as fontconfig knows them.
  const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
  if (!japanese.isEmpty()) {
    return QFont(japanese.first(), kDialogPointSize);
  }
  QFont fallback;
  fallback.setPointSize(kDialogPointSize);
  return fallback;
}

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  // The average over the 52 Latin letters, the way dialog templates have always measured it.
  const int letters = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  averageCharWidth_ = (letters / 26 + 1) / 2;
  if (averageCharWidth_ < 1) {
    averageCharWidth_ = 1;
  }
  charHeight_ = metrics.height() > 0 ? metrics.height() : 1;
}

int DialogUnits::X(int units) const { return Scale(units, averageCharWidth_, 4); }

int DialogUnits::Y(int units) const { return Scale(units, charHeight_, 8); }

QRect DialogUnits::Rect(int x, int y, int width, int height) const {
  return QRect(X(x), Y(y), X(width), Y(height));
}

}  // namespace tolvane
