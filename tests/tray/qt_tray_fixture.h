#pragma once
// TrayIcon1 loaded as the main window loads it, on the Qt platform, with a
// helper that answers the tray menu once it is up.

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <QtTest/QTest>
#include <memory>

#include <gtest/gtest.h>

#include "qt_tray_platform.h"
#include "support/recording_tray_platform.h"
#include "tray_environment.h"
#include "tray_icon.h"

namespace tray_testing {

using namespace tray;
using testing_support::IconFile;

constexpr int kWaitMs = 5000;

struct MenuAnswer {
  QString firstItem;
  QPoint shownAt;
};

class QtTrayFixture : public ::testing::Test {
 protected:
  void LoadProgramTrayIcon() {
    ownerWindow = platform.RegisterWindow(&mainWindow, true);
    trayMenu.Add("\xC2\xFB\xF5\xEE\xE4", [this] { ++exitClicks; });  // "Выход"
    icon = std::make_unique<TTrayIcon>(environment, ownerWindow);
    icon->Icon().LoadFromBytes(IconFile({32, 16}));
    icon->SetIconVisible(true);
    icon->SetPopupMenu(&trayMenu);
    icon->OnBalloonHintClick = [this](TTrayIcon&) { ++balloonClicks; };
    icon->Loaded();
  }

  void Post(uint32_t notice) {
    platform.PostMessageA(icon->Data().hWnd, kTrayNotifyMessage, icon->Identity(), notice);
  }

  // Chooses the first item of the next menu that comes up; the menu loop
  // blocks until then. A menu still up after the wait is closed.
  void ChooseFirstItemOfNextMenu() {
    menuAnswerer = std::make_unique<QTimer>();
    QObject::connect(menuAnswerer.get(), &QTimer::timeout, [this] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu == nullptr) return;
      menuAnswerer->stop();
      menuAnswer.shownAt = menu->pos();
      if (!menu->actions().isEmpty()) {
        menuAnswer.firstItem = menu->actions().at(0)->text();
        menu->actions().at(0)->trigger();
      }
      menu->close();
    });
    menuAnswerer->start(5);
    QTimer::singleShot(kWaitMs, [] {
      if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    });
  }

  TQtTrayPlatform platform;
  TTrayEnvironment environment{platform};
  QWidget mainWindow;
  HWND ownerWindow = 0;
  TPopupMenu trayMenu;
  std::unique_ptr<TTrayIcon> icon;
  int exitClicks = 0;
  int balloonClicks = 0;
  std::unique_ptr<QTimer> menuAnswerer;
  MenuAnswer menuAnswer;
};

}  // namespace tray_testing
