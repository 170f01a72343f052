// The skins on the desktop: their colours, their reach over every open
// window and menu, the way back to the desktop's look, and snapping.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QProxyStyle>
#include <QStyle>
#include <set>

#include <gtest/gtest.h>

#include "settings_dialog.h"
#include "skin_looks.h"
#include "skin_manager.h"
#include "skin_menu.h"
#include "temp_folder.h"
#include "window_snapping.h"

namespace {

// How legible each skin is on every window shows in the windows' own test.
TEST(SkinLooks, SixteenDistinctPalettes) {
  std::set<std::pair<QRgb, QRgb>> looks;
  for (const std::string& name : TSkinEngine::SkinNames()) {
    const QPalette palette = SkinPalette(name);
    looks.insert({palette.color(QPalette::Window).rgb(), palette.color(QPalette::Highlight).rgb()});
    EXPECT_GE(
        ContrastRatio(palette.color(QPalette::HighlightedText), palette.color(QPalette::Highlight)),
        4.5)
        << name << ": the selected title row";
  }
  EXPECT_EQ(looks.size(), 16u);
  EXPECT_EQ(SkinPalette("Nonesuch"), SkinPalette("Snow Leopard (internal)"));
}

class NoHost : public TSettingsDialogHost {
  void SetHttpPort(int) override {}
  void ClearBalloonHint() override {}
};

TEST(SkinManager, TheSkinReachesEveryOpenWindowAndMenuAndOffRestoresTheDesktop) {
  const QString desktopStyle = QApplication::style()->name();
  const QPalette desktopPalette = QApplication::palette();
  testing_support::TempFolder folder;
  NoHost host;
  {
    TSkinManager skins;
    QMainWindow window;
    auto* skinMenu = new TSkinMenu(skins);
    window.menuBar()->addMenu(skinMenu);
    TForm2 dialog(folder.File("Settings.cfg"), skins.Engine(), host, &window);
    window.show();
    dialog.show();
    EXPECT_FALSE(skinMenu->menuAction()->isVisible()) << "shown only while the engine is on";

    const QList<QWidget*> every = {&window, &dialog, skinMenu,
                                   dialog.findChild<QWidget*>(QStringLiteral("ComboBox1"))};
    skins.Engine().SelectSkin("Wood (internal)");
    EXPECT_EQ(QApplication::palette(), desktopPalette) << "while off a choice is only remembered";
    for (const std::string name : {"Wood (internal)", "Office2007 Black (internal)"}) {
      skins.Engine().SetActive(true);
      skins.Engine().SelectSkin(name);
      auto* skinStyle = qobject_cast<QProxyStyle*>(QApplication::style());
      ASSERT_NE(skinStyle, nullptr);
      EXPECT_EQ(skinStyle->baseStyle()->name(), QStringLiteral("fusion"));
      for (QWidget* widget : every)
        EXPECT_EQ(widget->palette().color(QPalette::Window),
                  SkinPalette(name).color(QPalette::Window))
            << name << " on " << widget->objectName().toStdString();
      EXPECT_TRUE(skinMenu->menuAction()->isVisible());
      const QList<QAction*> items = skinMenu->actions();
      EXPECT_EQ(
          std::count_if(items.begin(), items.end(), [](QAction* a) { return a->isChecked(); }), 1);
    }
    skinMenu->actions().at(3)->trigger();
    EXPECT_EQ(skins.Engine().SkinName(), "Cold (internal)") << "a pick in the menu selects it";
    EXPECT_TRUE(skinMenu->actions().at(3)->isChecked());

    skins.Engine().SetActive(false);
    EXPECT_EQ(QApplication::style()->name(), desktopStyle);
    EXPECT_EQ(QApplication::palette(), desktopPalette);
    EXPECT_EQ(window.palette().color(QPalette::Window), desktopPalette.color(QPalette::Window));
    EXPECT_FALSE(skinMenu->menuAction()->isVisible());
    skins.Engine().SetActive(true);
  }
  EXPECT_EQ(QApplication::palette(), desktopPalette) << "the manager leaves the desktop's look";
}

TEST(WindowSnapping, EdgesCloserThanTenPixelsSnap) {
  const QRect area(0, 0, 1000, 700);
  const struct {
    QPoint at, snapped;
  } cases[] = {
      {{9, 300}, {0, 300}},     {{10, 300}, {10, 300}},   {{-9, 300}, {0, 300}},
      {{500, 9}, {500, 0}},     {{691, 300}, {700, 300}}, {{690, 300}, {690, 300}},
      {{500, 509}, {500, 500}}, {{705, 495}, {700, 500}}, {{300, 200}, {300, 200}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SnappedPosition(QRect(c.at, QSize(300, 200)), area), c.snapped)
        << c.at.x() << "," << c.at.y();
  EXPECT_EQ(SnappedPosition(QRect(105, 52, 300, 200), QRect(100, 50, 800, 600)), QPoint(100, 50))
      << "the work area, not the screen";
}

}  // namespace
