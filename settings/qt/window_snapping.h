#pragma once
// Snapping of dragged windows to the edges of the screen's work area.

#include <QObject>
#include <QPoint>
#include <QRect>

// Where a window's frame goes: each edge that comes closer than `distance`
// pixels to the same edge of the area moves onto it.
QPoint SnappedPosition(const QRect& frame, const QRect& area, int distance = 10);

// An application-wide filter: a window that the user moves near an edge
// snaps to it, once it has been shown and placed (activated); where the
// window manager first puts it is left alone. Only where the platform lets
// a program place its windows (X11); elsewhere it does nothing.
class TWindowSnapping : public QObject {
 public:
  static bool PlatformPlacesWindows();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};
