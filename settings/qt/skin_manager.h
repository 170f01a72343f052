#pragma once
// The skin engine on the desktop: while it is on, its skin colours every
// window, menu, dialog and control of the application, and dragged windows
// snap to the screen's edges; switched off, the desktop's own look returns.

#include <QObject>
#include <QPalette>
#include <QString>
#include <optional>
#include <string>

#include "skin_engine.h"
#include "window_snapping.h"

class TSkinManager : public QObject {
  Q_OBJECT

 public:
  // Remembers the look the desktop gave the application.
  explicit TSkinManager(QObject* parent = nullptr);
  ~TSkinManager() override;

  TSkinEngine& Engine() { return engine_; }

 signals:
  // After every switch and selection, once the look is on screen.
  void Changed();

 private:
  void ShowLook();
  void ShowDesktopLook();

  TSkinEngine engine_;
  QString desktopStyle_;
  QPalette desktopPalette_;
  std::optional<std::string> skinShown_;
  TWindowSnapping snapping_;
};
