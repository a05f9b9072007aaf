#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

class QWidget;

namespace tolvane {

// The smallest screen the windows are laid out for, and the room a title bar and frame take:
// every window, at its first size and at its smallest, fits that screen with them.
inline constexpr QSize kSmallestScreen(1366, 768);
inline constexpr int kTitleBarHeight = 40;

// Where the top-left corner of a window frame of `frame` goes: right beside `owner` (a frame
// geometry), else left beside it, else against the screen's right edge, at the owner's height;
// always moved inside `screen` as far as the frame fits in it (a frame larger than the screen
// keeps its top-left corner on it).
QPoint PlaceBeside(const QRect& owner, const QSize& frame, const QRect& screen);

// Where the top-left corner of a window frame of `frame` goes inside `screen` so that it covers as
// little as possible of the frames `taken` (the owner's first): beside the owner as PlaceBeside
// puts it when that covers least, else beside, above or below another of them, or in a corner
// of the screen; the first of equals wins.
QPoint PlaceAside(const std::vector<QRect>& taken, const QSize& frame, const QRect& screen);

// Before `window` is first shown: makes it no larger than the screen `owner` is on allows and
// moves it where it covers least of `owner`'s window and of the other windows it owns there.
void MoveBeside(QWidget& window, const QWidget& owner);

// Keeps the shown `window` inside the screen it is on for as long as it lives: whenever it shows
// or its size changes (its content grew or shrank), it is made no larger than the screen allows
// with a title bar, and moved back inside.
void KeepOnScreen(QWidget& window);

}  // namespace tolvane
