// The Qt adapter on an X display (run through tests/support/with_x_display)
// whose notification area is trayer's: the icon is really embedded, and
// clicks on it and on its balloon come back as the component's events.
#include <QCursor>
#include <QLabel>
#include <QProcess>
#include <QTextDocument>
#include <QWindow>

#include "qt_tray_fixture.h"

namespace {

using namespace tray_testing;

constexpr int kTrayStartMs = 20000;

// trayer's notification area for one test.
class Trayer {
 public:
  ~Trayer() {
    process_.kill();
    process_.waitForFinished(kWaitMs);
  }
  bool Start() {
    process_.start("trayer", {"--edge", "top", "--align", "right"});
    return QTest::qWaitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, kTrayStartMs);
  }

 private:
  QProcess process_;
};

class DesktopTrayTest : public QtTrayFixture {
 protected:
  void SetUp() override {
    if (!lateTray) StartTrayWithIcon();
  }

  void StartTrayWithIcon() {
    ASSERT_TRUE(trayer.Start()) << "no notification area on " << qgetenv("DISPLAY").constData();
    if (!icon) LoadProgramTrayIcon();
    ASSERT_NE(IconWindow(), nullptr);
  }

  QWidget* Balloon() { return TopLevel("QBalloonTip"); }

  // The icon's window once the notification area shows it. The area embeds
  // it some time after it is made (later under load), and a click before
  // would reach no window.
  QWidget* IconWindow() {
    QWidget* window = nullptr;
    const bool exposed = QTest::qWaitFor(
        [&] {
          window = TopLevel("QSystemTrayIconSys");
          return window != nullptr && window->windowHandle() != nullptr &&
                 window->windowHandle()->isExposed();
        },
        kTrayStartMs);
    return exposed ? window : nullptr;
  }

  QSystemTrayIcon* DesktopIcon() { return platform.findChild<QSystemTrayIcon*>(); }

  static QWidget* TopLevel(const char* className) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget->inherits(className) && widget->isVisible()) return widget;
    }
    return nullptr;
  }

  bool lateTray = false;
  Trayer trayer;
};

// The icon as a user meets it: its tip, its menu, clicks and double clicks,
// a balloon clicked and one cleared, presses while a balloon shows, and the
// icon hidden.
TEST_F(DesktopTrayTest, TheIconInTheNotificationArea) {
  ASSERT_NE(DesktopIcon(), nullptr);
  EXPECT_TRUE(DesktopIcon()->isVisible());
  EXPECT_FALSE(DesktopIcon()->icon().isNull());
  EXPECT_FALSE(icon->AddTrayIcon()) << "a second add is refused";
  icon->SetHint("Rock & <Roll> \xD5\xE8\xF2");
  // Qt draws this tooltip itself and would read the text as markup.
  EXPECT_EQ(DesktopIcon()->toolTip(),
            Qt::convertFromPlainText(QString::fromUtf8("Rock & <Roll> Хит")));
  icon->SetShowHint(false);
  EXPECT_EQ(DesktopIcon()->toolTip(), QString());

  // A right click opens the menu at the pointer.
  QCursor::setPos(300, 200);
  ASSERT_TRUE(QTest::qWaitFor([] { return QCursor::pos() == QPoint(300, 200); }, kWaitMs));
  ChooseFirstItemOfNextMenu();
  ASSERT_NE(IconWindow(), nullptr);
  QTest::mouseClick(IconWindow(), Qt::RightButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return exitClicks == 1; }, kWaitMs));
  EXPECT_EQ(menuAnswer.firstItem, QString::fromUtf8("Выход"));
  EXPECT_EQ(menuAnswer.shownAt, QPoint(300, 200));

  // Left clicks resolve into a click or a double click.
  int clicks = 0;
  int doubleClicks = 0;
  icon->OnClick = [&](TTrayIcon&) { ++clicks; };
  QTest::mouseClick(IconWindow(), Qt::LeftButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return clicks == 1; }, kWaitMs));
  icon->OnDblClick = [&](TTrayIcon&) { ++doubleClicks; };
  // What a mouse sends: the first click starts the single-click timer.
  QWidget* area = IconWindow();
  ASSERT_NE(area, nullptr);
  QTest::mousePress(area, Qt::LeftButton);
  QTest::mouseRelease(area, Qt::LeftButton);
  QTest::mouseDClick(area, Qt::LeftButton);
  QTest::mouseRelease(area, Qt::LeftButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return doubleClicks == 1; }, kWaitMs));
  // Once no timer runs, any pending single click has been decided.
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return environment.TimerHandler()->RunningCount() == 0; }, kWaitMs));
  EXPECT_EQ(clicks, 1) << "no click beside the double click";
  icon->OnDblClick = nullptr;

  // A click on a balloon reaches the balloon handler; Qt draws this balloon
  // itself, as plain text.
  EXPECT_TRUE(icon->DisplayBalloonHint("Melodrop Downloader",
                                       "\xD4\xE0\xE9\xEB A & <B> \xE7\xE0\xE3\xF0\xF3\xE6\xE5\xED",
                                       bitInfo, 10));
  ASSERT_TRUE(QTest::qWaitFor([&] { return Balloon() != nullptr; }, kWaitMs));
  QStringList labels;
  for (const QLabel* label : Balloon()->findChildren<QLabel*>()) {
    if (label->textFormat() == Qt::PlainText) labels << label->text();
  }
  EXPECT_EQ(labels,
            (QStringList{"Melodrop Downloader", QString::fromUtf8("Файл A & <B> загружен")}));
  QTest::mouseClick(Balloon(), Qt::LeftButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return balloonClicks == 1; }, kWaitMs));

  EXPECT_TRUE(icon->DisplayBalloonHint("t", "shown", bitInfo, 10));
  ASSERT_TRUE(QTest::qWaitFor([&] { return Balloon() != nullptr; }, kWaitMs));
  EXPECT_TRUE(icon->ClearBalloonHint());
  EXPECT_TRUE(QTest::qWaitFor([&] { return Balloon() == nullptr; }, kWaitMs));

  // Presses on the icon while a balloon shows are no balloon clicks.
  for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
    EXPECT_TRUE(icon->DisplayBalloonHint("t", "shown", bitInfo, 10));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Balloon() != nullptr; }, kWaitMs));
    if (button == Qt::RightButton) ChooseFirstItemOfNextMenu();
    ASSERT_NE(IconWindow(), nullptr);
    QTest::mouseClick(IconWindow(), button);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return button == Qt::LeftButton ? clicks == 2 : exitClicks == 2; }, kWaitMs));
  }
  EXPECT_EQ(balloonClicks, 1);

  icon->SetIconVisible(false);
  EXPECT_EQ(DesktopIcon(), nullptr);
  EXPECT_FALSE(icon->DisplayBalloonHint("t", "x", bitInfo, 10));
}

class LateTrayTest : public DesktopTrayTest {
 protected:
  LateTrayTest() { lateTray = true; }
};

TEST_F(LateTrayTest, AnIconAddedBeforeTheTrayAppearsWithIt) {
  LoadProgramTrayIcon();
  EXPECT_FALSE(icon->DisplayBalloonHint("t", "too early", bitInfo, 10));
  StartTrayWithIcon();
  EXPECT_TRUE(icon->DisplayBalloonHint("t", "in time", bitInfo, 10));
  EXPECT_TRUE(QTest::qWaitFor([&] { return Balloon() != nullptr; }, kWaitMs));
}

}  // namespace
