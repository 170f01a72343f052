// Snapping on a real X display: the window system moves a window near an
// edge of the work area, as a drag does, and it snaps while skins are on.
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include "skin_manager.h"

namespace {

void MoveThroughTheWindowSystem(QWidget& window, QPoint to) {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  const uint32_t position[] = {static_cast<uint32_t>(to.x()), static_cast<uint32_t>(to.y())};
  xcb_configure_window(x11->connection(), static_cast<xcb_window_t>(window.winId()),
                       XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, position);
  xcb_flush(x11->connection());
}

bool SettlesAt(QWidget& window, QPoint expected) {
  return QTest::qWaitFor([&] { return window.pos() == expected; }, 5000);
}

TEST(WindowSnappingOnX11, AWindowDraggedNearAnEdgeSnapsOnlyWhileSkinsAreOn) {
  ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
  TSkinManager skins;
  QWidget window;
  window.setGeometry(300, 300, 200, 100);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  const QRect area = window.screen()->availableGeometry();

  MoveThroughTheWindowSystem(window, {area.left() + 5, 300});
  EXPECT_TRUE(SettlesAt(window, {area.left() + 5, 300})) << "skins off: no snapping";

  skins.Engine().SetActive(true);
  // Where the window system puts a window before it is active is its
  // placement on showing, never a drag.
  QWidget placed;
  placed.setAttribute(Qt::WA_ShowWithoutActivating);
  placed.setGeometry(300, 200, 200, 100);
  placed.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&placed));
  MoveThroughTheWindowSystem(placed, {area.left() + 5, 200});
  EXPECT_TRUE(SettlesAt(placed, {area.left() + 5, 200})) << "placed, not dragged";

  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  MoveThroughTheWindowSystem(window, {area.left() + 9, 310});
  EXPECT_TRUE(SettlesAt(window, {area.left(), 310}));
  MoveThroughTheWindowSystem(window, {400, area.bottom() + 1 - 100 - 7});
  EXPECT_TRUE(SettlesAt(window, {400, area.bottom() + 1 - 100}));
  MoveThroughTheWindowSystem(window, {400, 250});
  EXPECT_TRUE(SettlesAt(window, {400, 250})) << "away from the edges it stays";
}

}  // namespace
