#pragma once
// On Wayland the compositor may configure any window maximised or full
// screen: Qt's own title bar there offers maximise on every window, fixed
// or not. A window that then keeps its fixed size breaks the protocol, and
// the compositor ends the program's connection. So on Wayland a window with
// a fixed size keeps it as its smallest size only, and can honour whatever
// size the compositor gives it.

#include <QObject>

class QApplication;

class TFixedSizeGuard : public QObject {
 public:
  // Watches every window of the application from now on, where the
  // platform is Wayland; elsewhere it does nothing.
  static void InstallWhereNeeded(QApplication& application);

 private:
  explicit TFixedSizeGuard(QObject* parent) : QObject(parent) {}
  bool eventFilter(QObject* watched, QEvent* event) override;
};
