// The Qt adapter on an X display with a notification area (run through
// tests/support/with_notification_area): the icon is really embedded, and
// clicks on it and on its balloon come back as the component's events.
#include <QCursor>
#include <QLabel>
#include <QTextDocument>

#include "qt_tray_fixture.h"

namespace {

using namespace tray_testing;

constexpr int kTrayStartMs = 20000;

class DesktopTrayTest : public QtTrayFixture {
 protected:
  void SetUp() override {
    ASSERT_TRUE(
        QTest::qWaitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, kTrayStartMs))
        << "no notification area on " << qgetenv("DISPLAY").constData();
    LoadProgramTrayIcon();
    ASSERT_TRUE(
        QTest::qWaitFor([this] { return TopLevel("QSystemTrayIconSys") != nullptr; }, kWaitMs));
  }

  QSystemTrayIcon* DesktopIcon() { return platform.findChild<QSystemTrayIcon*>(); }

  static QWidget* TopLevel(const char* className) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget->inherits(className) && widget->isVisible()) return widget;
    }
    return nullptr;
  }
};

TEST_F(DesktopTrayTest, TheIconStandsInTheAreaWithItsPlainTip) {
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

  icon->SetIconVisible(false);
  EXPECT_EQ(DesktopIcon(), nullptr);
  EXPECT_FALSE(icon->DisplayBalloonHint("t", "x", bitInfo, 10));
}

TEST_F(DesktopTrayTest, ARightClickOnTheIconOpensTheMenuAtThePointer) {
  QCursor::setPos(300, 200);
  ASSERT_TRUE(QTest::qWaitFor([] { return QCursor::pos() == QPoint(300, 200); }, kWaitMs));
  ChooseFirstItemOfNextMenu();
  QTest::mouseClick(TopLevel("QSystemTrayIconSys"), Qt::RightButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return exitClicks == 1; }, kWaitMs));
  EXPECT_EQ(menuAnswer.firstItem, QString::fromUtf8("Выход"));
  EXPECT_EQ(menuAnswer.shownAt, QPoint(300, 200));
}

TEST_F(DesktopTrayTest, LeftClicksResolveIntoAClickOrADoubleClick) {
  int clicks = 0;
  int doubleClicks = 0;
  icon->OnClick = [&](TTrayIcon&) { ++clicks; };
  QTest::mouseClick(TopLevel("QSystemTrayIconSys"), Qt::LeftButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return clicks == 1; }, kWaitMs));

  icon->OnDblClick = [&](TTrayIcon&) { ++doubleClicks; };
  QTest::mouseDClick(TopLevel("QSystemTrayIconSys"), Qt::LeftButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return doubleClicks == 1; }, kWaitMs));
  // Once no timer runs, any pending single click has been decided.
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return environment.TimerHandler()->RunningCount() == 0; }, kWaitMs));
  EXPECT_EQ(clicks, 1) << "no click beside the double click";
}

TEST_F(DesktopTrayTest, AClickOnTheBalloonReachesTheBalloonHandler) {
  EXPECT_TRUE(icon->DisplayBalloonHint("Melodrop Downloader",
                                       "\xD4\xE0\xE9\xEB A & <B> \xE7\xE0\xE3\xF0\xF3\xE6\xE5\xED",
                                       bitInfo, 10));
  QWidget* balloon = nullptr;
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return (balloon = TopLevel("QBalloonTip")) != nullptr; }, kWaitMs));
  QStringList labels;
  for (const QLabel* label : balloon->findChildren<QLabel*>()) {
    if (label->textFormat() == Qt::PlainText) labels << label->text();
  }
  EXPECT_EQ(labels,
            (QStringList{"Melodrop Downloader", QString::fromUtf8("Файл A & <B> загружен")}))
      << "Qt draws this balloon itself, as plain text";
  QTest::mouseClick(balloon, Qt::LeftButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return balloonClicks == 1; }, kWaitMs));
}

}  // namespace
