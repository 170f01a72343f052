// The Qt adapter on the offscreen platform, which has no notification area.
#include "qt_tray_platform.h"

#include "qt_tray_fixture.h"

namespace {

using namespace tray_testing;

class QtTrayPlatformTest : public QtTrayFixture {
 protected:
  void SetUp() override {
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    LoadProgramTrayIcon();
  }
};

TEST_F(QtTrayPlatformTest, WithoutANotificationAreaEveryShellRequestIsRefused) {
  EXPECT_TRUE(environment.RestartMessage().has_value()) << "raised when an area appears";
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
