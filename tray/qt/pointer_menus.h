#pragma once
// Whether a menu the program opens by itself, not from a press in one of
// its windows, appears at the pointer. On Wayland a program knows the
// pointer only inside its own windows, and the compositor dismisses a menu
// that no press of the program's opened.

#include <QGuiApplication>

namespace tray {

inline bool MenusOpenAtThePointer() {
  return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

}  // namespace tray
