#include "app/gui/window_placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>

namespace tolvane {
namespace {

// Where a span of `length` starting at `at` goes so it lies within the `room` from `start`; a
// span longer than the room keeps its start on it.
int Inside(int at, int length, int start, int room) {
  return std::max(start, std::min(at, start + room - length));
}

// How much of `taken` a frame at `frame` covers, in pixels.
qint64 Covered(const std::vector<QRect>& taken, const QRect& frame) {
  qint64 area = 0;
  for (const QRect& other : taken) {
    const QRect common = other.intersected(frame);
    area += qint64{common.width()} * common.height();
  }
  return area;
}

}  // namespace

QPoint PlaceAside(const std::vector<QRect>& taken, const QSize& frame, const QRect& screen) {
  std::vector<QPoint> tried;
  if (!taken.empty()) {
    tried.push_back(PlaceBeside(taken.front(), frame, screen));
  }
  for (const QRect& other : taken) {
    tried.insert(tried.end(), {QPoint(other.x() + other.width(), other.y()),
                               QPoint(other.x() - frame.width(), other.y()),
                               QPoint(other.x(), other.y() + other.height()),
                               QPoint(other.x(), other.y() - frame.height())});
  }
  const QPoint far = screen.bottomRight() - QPoint(frame.width() - 1, frame.height() - 1);
  tried.insert(tried.end(),
               {screen.topLeft(), QPoint(far.x(), screen.y()), QPoint(screen.x(), far.y()), far});
  QPoint best;
  qint64 least = -1;
  for (const QPoint& at : tried) {
    const QPoint inside(Inside(at.x(), frame.width(), screen.x(), screen.width()),
                        Inside(at.y(), frame.height(), screen.y(), screen.height()));
    const qint64 covered = Covered(taken, QRect(inside, frame));
    if (least < 0 || covered < least) {
      best = inside;
      least = covered;
    }
  }
  return best;
}

QPoint PlaceBeside(const QRect& owner, const QSize& frame, const QRect& screen) {
  int x = screen.x() + screen.width() - frame.width();  // neither side has room
  if (owner.x() + owner.width() + frame.width() <= screen.x() + screen.width()) {
    x = owner.x() + owner.width();
  } else if (owner.x() - frame.width() >= screen.x()) {
    x = owner.x() - frame.width();
  }
  return {Inside(x, frame.width(), screen.x(), screen.width()),
          Inside(owner.y(), frame.height(), screen.y(), screen.height())};
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
  std::vector<QRect> taken = {top.frameGeometry()};
  for (const QWidget* other : top.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (other != &window && other->isWindow() && other->isVisible()) {
      taken.push_back(other->frameGeometry());
    }
  }
  window.move(PlaceAside(taken, window.size() + decoration, room));
}

namespace {

// Refits its window after each show and resize; a child of the window, so it goes with it.
class ScreenKeeper : public QObject {
 public:
  explicit ScreenKeeper(QWidget& window)
      : QObject(&window), window_(window), settled_(new QTimer(this)) {
    // Fires once the events before it, the layout's answer among them, are handled.
    settled_->setSingleShot(true);
    settled_->setInterval(0);
    connect(settled_, &QTimer::timeout, this, [this] { Fit(); });
    window.installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != &window_ || fitting_ || !window_.isVisible()) {
      return false;
    }
    if (event->type() == QEvent::Show || event->type() == QEvent::Resize) {
      fitting_ = true;
      Fit();
      fitting_ = false;
    } else if (event->type() == QEvent::LayoutRequest) {
      // Once the layout has answered it: content that shrank may leave the window too tall.
      settled_->start();
    }
    return false;
  }

 private:
  void Fit() {
    QScreen* screen =
        window_.screen() != nullptr ? window_.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
      return;
    }
    const QRect room = screen->availableGeometry();
    // Without a window manager (or before it framed the window) there is no frame yet: the size
    // leaves room for a title bar all the same.
    const QRect frame = window_.frameGeometry();
    const QSize margins = frame.size() - window_.size();
    const QSize largest =
        room.size() - QSize(margins.width(), std::max(margins.height(), kTitleBarHeight));
    const QSize fitted = window_.size().boundedTo(largest).expandedTo(window_.minimumSize());
    if (fitted != window_.size()) {
      window_.resize(fitted);
    }
    const QSize outer = fitted + margins;
    const QPoint at(Inside(frame.x(), outer.width(), room.x(), room.width()),
                    Inside(frame.y(), outer.height(), room.y(), room.height()));
    if (at != frame.topLeft()) {
      window_.move(at);
    }
  }

  QWidget& window_;
  QTimer* settled_;
  bool fitting_ = false;
};

}  // namespace

void KeepOnScreen(QWidget& window) { new ScreenKeeper(window); }

}  // namespace tolvane
