#include "app/gui/path_edit.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace tolvane {
namespace {

// The gap QLineEdit leaves on each side of its text.
constexpr int kSideGap = 2;

}  // namespace

PathEdit::PathEdit(QWidget* parent) : QLineEdit(parent) {
  connect(this, &QLineEdit::textChanged, this, &QWidget::setToolTip);
}

QRect PathEdit::TextRoom() const {
  QStyleOptionFrame panel;
  initStyleOption(&panel);
  const QMargins margins = textMargins();
  return style()
      ->subElementRect(QStyle::SE_LineEditContents, &panel, this)
      .adjusted(margins.left() + kSideGap, margins.top(), -margins.right() - kSideGap,
                -margins.bottom());
}

QString PathEdit::ShownText() const {
  return fontMetrics().elidedText(text(), Qt::ElideLeft, TextRoom().width());
}

void PathEdit::paintEvent(QPaintEvent* event) {
  const QString shown = ShownText();
  if (hasFocus() || shown == text()) {
    QLineEdit::paintEvent(event);
    return;
  }
  QPainter painter(this);
  QStyleOptionFrame panel;
  initStyleOption(&panel);
  style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
  painter.setPen(
      palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
  painter.drawText(TextRoom(), Qt::AlignLeft | Qt::AlignVCenter, shown);
}

}  // namespace tolvane
