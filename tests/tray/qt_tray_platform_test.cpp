// The Qt adapter on the offscreen platform, which has no notification area.
#include "qt_tray_platform.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include "support/recording_tray_platform.h"
#include "tray_environment.h"
#include "tray_icon.h"

namespace {

using namespace tray;
using testing_support::IconFile;

constexpr int kWaitMs = 5000;

class QtTrayPlatformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
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

  TQtTrayPlatform platform;
  TTrayEnvironment environment{platform};
  QWidget mainWindow;
  HWND ownerWindow = 0;
  TPopupMenu trayMenu;
  std::unique_ptr<TTrayIcon> icon;
  int exitClicks = 0;
  int balloonClicks = 0;
};

TEST_F(QtTrayPlatformTest, WithoutANotificationAreaEveryShellRequestIsRefused) {
  EXPECT_FALSE(environment.RestartMessage().has_value());
  EXPECT_TRUE(icon->IconVisible()) << "a refusal rolls nothing back";
  EXPECT_NE(icon->Data().hIcon, 0u) << "the image is readable";
  EXPECT_FALSE(icon->AddTrayIcon());
  EXPECT_FALSE(icon->UpdateTrayIcon());
  EXPECT_FALSE(icon->DisplayBalloonHint("Melodrop Downloader", "<b>&", bitInfo, 10));
  EXPECT_FALSE(icon->ClearBalloonHint());
  EXPECT_FALSE(icon->DeleteTrayIcon());
}

TEST_F(QtTrayPlatformTest, PostedNoticesReachTheirInstanceThroughTheEventLoop) {
  TTrayIcon other(environment, std::nullopt);
  int otherClicks = 0;
  other.OnBalloonHintClick = [&](TTrayIcon&) { ++otherClicks; };
  Post(NIN_BALLOONUSERCLICK);
  EXPECT_EQ(balloonClicks, 0) << "posted, not sent";
  EXPECT_TRUE(QTest::qWaitFor([&] { return balloonClicks == 1; }, kWaitMs));
  EXPECT_EQ(otherClicks, 0);
}

TEST_F(QtTrayPlatformTest, TheSingleClickWaitsForAQtTimer) {
  int clicks = 0;
  icon->OnClick = [&](TTrayIcon&) { ++clicks; };
  icon->OnDblClick = [](TTrayIcon&) {};
  Post(WM_LBUTTONDOWN);
  Post(WM_LBUTTONUP);
  EXPECT_TRUE(QTest::qWaitFor([&] { return clicks == 1; }, kWaitMs));
}

TEST_F(QtTrayPlatformTest, TheRightPressShowsTheMenuAtThePointer) {
  QCursor::setPos(120, 80);
  QString shownText;
  QPoint shownAt;
  // Answers the menu once it is up; the menu loop blocks until then.
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr) return;
    answer.stop();
    shownAt = menu->pos();
    shownText = menu->actions().value(0) ? menu->actions().value(0)->text() : QString();
    if (!menu->actions().isEmpty()) menu->actions().at(0)->trigger();
    menu->close();
  });
  answer.start(5);
  QTimer::singleShot(kWaitMs, [] {
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  });

  Post(WM_RBUTTONDOWN);
  EXPECT_TRUE(QTest::qWaitFor([&] { return exitClicks == 1; }, kWaitMs));
  EXPECT_EQ(shownText, QString::fromUtf8("Выход"));
  EXPECT_EQ(shownAt, QPoint(120, 80));
  EXPECT_EQ(trayMenu.PopupComponent, icon.get());
}

TEST_F(QtTrayPlatformTest, IconFilesBecomeHandlesOnlyWhenReadable) {
  const HICON handle = platform.CreateIconHandle(IconFile({48}));
  EXPECT_NE(handle, 0u);
  platform.DestroyIconHandle(handle);
  EXPECT_EQ(platform.CreateIconHandle("not an icon"), 0u);
  EXPECT_EQ(platform.CreateIconHandle(""), 0u);
}

TEST_F(QtTrayPlatformTest, AMinimisedOwnerGoesToTheTrayThroughTheOwnerHook) {
  int minimizeEvents = 0;
  icon->SetMinimizeToTray(true);
  icon->OnMinimizeToTray = [&](TTrayIcon&) { ++minimizeEvents; };
  mainWindow.show();
  ASSERT_TRUE(platform.IsWindowVisible(ownerWindow));
  mainWindow.setWindowState(Qt::WindowMinimized);  // as the desktop minimises it
  EXPECT_TRUE(QTest::qWaitFor([&] { return minimizeEvents == 1; }, kWaitMs));
  EXPECT_FALSE(mainWindow.isVisible());
  EXPECT_FALSE(platform.IsWindowVisible(platform.ApplicationWindow()));
}

TEST_F(QtTrayPlatformTest, ARestoredMainWindowIsShownAsNormal) {
  mainWindow.show();
  mainWindow.setWindowState(Qt::WindowMinimized);
  ASSERT_TRUE(platform.IsMinimized(ownerWindow)) << "without the option it stays minimised";
  mainWindow.hide();
  mainWindow.setWindowState(Qt::WindowNoState);  // the desktop restores it
  EXPECT_TRUE(mainWindow.isVisible());
  EXPECT_FALSE(mainWindow.isMinimized());
}

TEST_F(QtTrayPlatformTest, TimersAndHooksGoWithTheLastIcon) {
  icon->SetWantEnterExitEvents(true);
  icon.reset();
  EXPECT_EQ(environment.IconHandler(), nullptr);
  EXPECT_EQ(environment.TimerHandler(), nullptr);
  mainWindow.show();  // the owner's own handling is back
  EXPECT_TRUE(mainWindow.isVisible());
}

}  // namespace
