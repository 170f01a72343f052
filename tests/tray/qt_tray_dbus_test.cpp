// The Qt adapter on a D-Bus desktop (run through tests/support/with_x_display
// --session-bus): the icon is a StatusNotifierItem of a fake host, and the
// balloons are notifications of its fake server.
#include "qt_tray_fixture.h"
#include "support/fake_desktop_process.h"

namespace {

using namespace tray_testing;
using testing_support::FakeDesktopProcess;

class DBusDesktopTest : public QtTrayFixture {
 protected:
  bool ItemRegistered() {
    return QTest::qWaitFor([this] { return !desktop.Items().isEmpty(); }, kWaitMs);
  }

  // The last recorded call that begins with the text, waited for; "" when
  // none comes.
  QString CallStartingWith(const QString& text) {
    QString found;
    (void)QTest::qWaitFor(
        [&] {
          for (const QString& call : desktop.Calls()) {
            if (call.startsWith(text)) found = call;
          }
          return !found.isEmpty();
        },
        kWaitMs);
    return found;
  }

  FakeDesktopProcess desktop;
};

TEST_F(DBusDesktopTest,
       ABalloonIsANotificationThatReportsItsClickAndButtonsAndIsWithdrawnWhenCleared) {
  ASSERT_TRUE(desktop.Start());
  LoadProgramTrayIcon();
  ASSERT_TRUE(ItemRegistered());
  int shown = 0;
  int timeouts = 0;
  std::vector<std::size_t> pressed;
  QStringList tokens;
  icon->OnBalloonHintShow = [&](TTrayIcon&) { ++shown; };
  icon->OnBalloonHintTimeout = [&](TTrayIcon&) { ++timeouts; };
  icon->OnBalloonHintAction = [&](TTrayIcon&, std::size_t action) { pressed.push_back(action); };
  platform.SetActivationTokenSink([&](const QString& token) { tokens << token; });
  icon->SetBalloonActions({"Play", "Open"});

  QGuiApplication::setDesktopFileName(QStringLiteral("example.melodrop.Melodrop"));
  EXPECT_TRUE(icon->DisplayBalloonHint("Melodrop <Downloader>",
                                       "\xD4\xE0\xE9\xEB A & <B> \xE7\xE0\xE3\xF0\xF3\xE6\xE5\xED",
                                       bitInfo, 10));
  EXPECT_EQ(CallStartingWith("Notify 1 ").toStdString(),
            QString::fromUtf8("Notify 1 app=%1 replaces=0 icon=dialog-information "
                              "summary=Melodrop <Downloader> "
                              "body=Файл A &amp; &lt;B> загружен actions=default,,0,Play,1,Open "
                              "timeout=10000 image=32x32 entry=example.melodrop.Melodrop")
                .arg(QGuiApplication::applicationDisplayName())
                .toStdString());
  EXPECT_TRUE(QTest::qWaitFor([&] { return shown == 1; }, kWaitMs));
  desktop.InvokeAction(1, "default");
  EXPECT_TRUE(QTest::qWaitFor([&] { return balloonClicks == 1; }, kWaitMs));
  desktop.InvokeAction(1, "1");
  EXPECT_TRUE(QTest::qWaitFor([&] { return pressed.size() == 1; }, kWaitMs));
  EXPECT_EQ(pressed, std::vector<std::size_t>{1});
  EXPECT_EQ(tokens, (QStringList{"token-1", "token-1"})) << "each action brings its token first";

  EXPECT_TRUE(icon->ClearBalloonHint());
  EXPECT_EQ(CallStartingWith("CloseNotification"), "CloseNotification 1");

  EXPECT_TRUE(icon->DisplayBalloonHint("t", "second", bitNone, 10));
  EXPECT_NE(CallStartingWith("Notify 2 "), "");
  EXPECT_TRUE(QTest::qWaitFor([&] { return shown == 2; }, kWaitMs));
  desktop.Expire(2, 1);
  EXPECT_TRUE(QTest::qWaitFor([&] { return timeouts == 1; }, kWaitMs));
  EXPECT_EQ(balloonClicks, 1);
}

// A balloon shown over another (a batch's count going up) changes the
// notification on the screen instead of closing it and opening a new one.
TEST_F(DBusDesktopTest, ABalloonShownOverAnotherReplacesItInPlace) {
  ASSERT_TRUE(desktop.Start());
  LoadProgramTrayIcon();
  ASSERT_TRUE(ItemRegistered());
  int shown = 0;
  int hidden = 0;
  icon->OnBalloonHintShow = [&](TTrayIcon&) { ++shown; };
  icon->OnBalloonHintHide = [&](TTrayIcon&) { ++hidden; };
  EXPECT_TRUE(icon->DisplayBalloonHint("t", "first", bitInfo, 10));
  EXPECT_TRUE(QTest::qWaitFor([&] { return shown == 1; }, kWaitMs));
  EXPECT_TRUE(icon->DisplayBalloonHint("t", "second", bitInfo, 10));
  EXPECT_TRUE(QTest::qWaitFor([&] { return shown == 2 && hidden == 1; }, kWaitMs));
  EXPECT_NE(CallStartingWith("Notify 1 app=").indexOf("replaces=1 "), -1);
  desktop.InvokeAction(1, "default");
  EXPECT_TRUE(QTest::qWaitFor([&] { return balloonClicks == 1; }, kWaitMs)) << "the newest";

  EXPECT_TRUE(icon->ClearBalloonHint());
  EXPECT_EQ(CallStartingWith("CloseNotification"), "CloseNotification 1");
  EXPECT_EQ(desktop.Calls().filter("Notify").size(), 2) << desktop.Calls().join('\n').toStdString();
}

TEST_F(DBusDesktopTest, TheHostsContextMenuRequestOpensTheTrayMenu) {
  ASSERT_TRUE(desktop.Start());
  LoadProgramTrayIcon();
  ASSERT_TRUE(ItemRegistered());
  ChooseFirstItemOfNextMenu();
  desktop.ItemContextMenu(300, 200);
  EXPECT_TRUE(QTest::qWaitFor([&] { return exitClicks == 1; }, kWaitMs));
  EXPECT_EQ(menuAnswer.firstItem, QString::fromUtf8("Выход"));
}

TEST_F(DBusDesktopTest, AnIconAddedBeforeTheDesktopStartedAppearsWithIt) {
  LoadProgramTrayIcon();
  EXPECT_FALSE(icon->DisplayBalloonHint("t", "too early", bitInfo, 10));
  ASSERT_TRUE(desktop.Start());
  ASSERT_TRUE(ItemRegistered()) << "added again once the host was there";
  EXPECT_TRUE(icon->DisplayBalloonHint("t", "in time", bitInfo, 10));
  EXPECT_NE(CallStartingWith("Notify 1 "), "");
}

TEST_F(DBusDesktopTest, WithoutATrayTheBalloonsStillReachTheNotificationServerUntilATrayComes) {
  ASSERT_TRUE(desktop.Start({"--without-tray"}));
  LoadProgramTrayIcon();
  int shown = 0;
  icon->OnBalloonHintShow = [&](TTrayIcon&) { ++shown; };
  EXPECT_TRUE(icon->DisplayBalloonHint("t", "no tray", bitInfo, 10));
  EXPECT_NE(CallStartingWith("Notify 1 "), "");
  // Clicked once it is on screen: the server's answer has come back.
  EXPECT_TRUE(QTest::qWaitFor([&] { return shown == 1; }, kWaitMs));
  desktop.InvokeAction(1, "default");
  EXPECT_TRUE(QTest::qWaitFor([&] { return balloonClicks == 1; }, kWaitMs));
  EXPECT_TRUE(desktop.Items().isEmpty());
  // A tray that comes later takes the icon.
  desktop.Stop();
  ASSERT_TRUE(desktop.Start());
  EXPECT_TRUE(ItemRegistered());
}

}  // namespace
