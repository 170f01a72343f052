#include "window_snapping.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cstdlib>

namespace {

// The new start of [start, end) on one axis.
int SnappedStart(int start, int end, int areaStart, int areaEnd, int distance) {
  if (std::abs(start - areaStart) < distance) return areaStart;
  if (std::abs(end - areaEnd) < distance) return areaEnd - (end - start);
  return start;
}

}  // namespace

QPoint SnappedPosition(const QRect& frame, const QRect& area, int distance) {
  return {SnappedStart(frame.left(), frame.right() + 1, area.left(), area.right() + 1, distance),
          SnappedStart(frame.top(), frame.bottom() + 1, area.top(), area.bottom() + 1, distance)};
}

bool TWindowSnapping::PlatformPlacesWindows() {
  return QGuiApplication::platformName() == QLatin1String("xcb");
}

// A window is placed once it has been activated after it was shown: the
// window manager's own placing (and the positions a window passes through
// while it is framed) come before, the user's drags after.
constexpr char kPlaced[] = "melodropPlacedByTheWindowManager";

bool TWindowSnapping::eventFilter(QObject* watched, QEvent* event) {
  if (!watched->isWidgetType()) return false;
  auto* window = static_cast<QWidget*>(watched);
  if (!window->isWindow()) return false;
  if (event->type() == QEvent::Show) window->setProperty(kPlaced, false);
  if (event->type() == QEvent::WindowActivate) window->setProperty(kPlaced, true);
  // Spontaneous moves come from the window system: the user's drag, not
  // the program's own placing.
  if (event->type() != QEvent::Move || !event->spontaneous() || window->screen() == nullptr ||
      !window->property(kPlaced).toBool())
    return false;
  const QRect frame = window->frameGeometry();
  const QPoint snapped = SnappedPosition(frame, window->screen()->availableGeometry());
  if (snapped != frame.topLeft()) window->move(snapped);
  return false;
}
