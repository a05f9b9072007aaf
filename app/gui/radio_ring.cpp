#include "app/gui/radio_ring.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QEvent>
#include <QKeyEvent>
#include <QList>
#include <algorithm>

namespace tolvane {
namespace {

class RingFilter : public QObject {
 public:
  // Owned by the group, and watching each of its buttons.
  explicit RingFilter(QButtonGroup* group) : QObject(group), group_(group) {
    for (QAbstractButton* button : group->buttons()) {
      button->installEventFilter(this);
    }
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) {
      return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
      return false;
    }
    int step = 0;
    switch (key->key()) {
      case Qt::Key_Left:
      case Qt::Key_Up:
        step = -1;
        break;
      case Qt::Key_Right:
      case Qt::Key_Down:
        step = 1;
        break;
      default:
        return false;
    }
    QList<QAbstractButton*> ring = group_->buttons();
    std::sort(ring.begin(), ring.end(), [this](QAbstractButton* a, QAbstractButton* b) {
      return group_->id(a) < group_->id(b);
    });
    // Hidden or disabled buttons are passed over; with none left to go to the key does nothing.
    const auto at = static_cast<qsizetype>(ring.indexOf(static_cast<QAbstractButton*>(watched)));
    const qsizetype count = ring.size();
    for (qsizetype i = 1; at >= 0 && i < count; ++i) {
      QAbstractButton* next = ring[((at + step * i) % count + count) % count];
      if (next->isVisibleTo(next->window()) && next->isEnabled()) {
        next->setFocus(Qt::OtherFocusReason);
        next->click();
        break;
      }
    }
    return true;
  }

 private:
  QButtonGroup* group_;
};

}  // namespace

void WrapArrowKeys(QButtonGroup* group) { new RingFilter(group); }

}  // namespace tolvane
