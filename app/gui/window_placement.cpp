#include "app/gui/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace tolvane {

QPoint PlaceBeside(const QRect& owner, const QSize& frame, const QRect& screen) {
  int x = screen.x() + screen.width() - frame.width();  // neither side has room
  if (owner.x() + owner.width() + frame.width() <= screen.x() + screen.width()) {
    x = owner.x() + owner.width();
  } else if (owner.x() - frame.width() >= screen.x()) {
    x = owner.x() - frame.width();
  }
  const auto inside = [](int at, int length, int start, int room) {
    return std::max(start, std::min(at, start + room - length));
  };
  return {inside(x, frame.width(), screen.x(), screen.width()),
          inside(owner.y(), frame.height(), screen.y(), screen.height())};
}

void MoveBeside(QWidget& window, const QWidget& owner) {
  const QWidget& top = *owner.window();
  QScreen* screen = top.screen() != nullptr ? top.screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) {
    return;
  }
  const QRect room = screen->availableGeometry();
  // Not shown yet, the window has no frame of its own: count a title bar for it.
  const QSize decoration(0, kTitleBarHeight);
  const QSize largest = room.size() - decoration;
  window.resize(window.size().boundedTo(largest).expandedTo(window.minimumSizeHint()));
  window.move(PlaceBeside(top.frameGeometry(), window.size() + decoration, room));
}

}  // namespace tolvane
