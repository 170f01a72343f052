#pragma once
// What a Wayland desktop asks of every window beyond what X11 does.
//
// The compositor may configure any window maximised or full screen: Qt's
// own title bar there offers maximise on every window, fixed or not. A
// window that then keeps its fixed size breaks the protocol, and the
// compositor ends the program's connection. So on Wayland a window with a
// fixed size keeps it as its smallest size only, and can honour whatever
// size the compositor gives it, its controls together in its middle.
//
// Where the compositor draws no title bars (GNOME), Qt draws its own, with
// the title centred between the icon and the buttons and cut where it meets
// them: a window narrower than its title grows until the title fits, when
// it is shown and when its title changes. It never shrinks by itself.

#include <QObject>

class QApplication;
class QWidget;

// Whether the program's windows stand on a Wayland desktop.
bool OnWaylandDesktop();

// A window of a fixed size keeps it as its smallest only, and its controls,
// as laid out, in its middle.
void LetGrow(QWidget& window);

class TWaylandWindowGuard : public QObject {
 public:
  // Watches every window of the application from now on, where the
  // platform is Wayland; elsewhere it does nothing.
  static void InstallWhereNeeded(QApplication& application);
  // Watches them whatever the platform, until the guard returned is deleted.
  static QObject* Install(QApplication& application);

 private:
  explicit TWaylandWindowGuard(QObject* parent) : QObject(parent) {}
  bool eventFilter(QObject* watched, QEvent* event) override;
};
