// What the skin engine does to the main window's titles and to every
// window's text.
#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <optional>

#include "main_window_fixture.h"
#include "skin_looks.h"
#include "title_list.h"

namespace {

using namespace app_testing;

TEST_F(MainWindowTest, TitleRowsAreDrawnPlainInThePalettesColours) {
  WriteBytes(settingsPath, "[MAIN]\r\nPort=" + std::to_string(Port()) +
                               "\r\nSkin=1\r\nSkinName=FalloutStyle (internal)\r\n");
  Start();
  EXPECT_TRUE(Find<QMenu>("SkinMenu")->menuAction()->isVisible());
  Search(QStringLiteral("owls"));
  QListView* list = Titles();
  list->setCurrentIndex(list->model()->index(0, 0));
  const QRect row = list->visualRect(list->model()->index(0, 0));
  EXPECT_EQ(row.height(), TTitleRowDelegate::kRowHeight);
  EXPECT_EQ(list->font().pixelSize(), 13);

  const QImage image = list->viewport()->grab().toImage();
  const QPalette skin = SkinPalette("FalloutStyle (internal)");
  EXPECT_EQ(QColor(image.pixel(row.right() - 2, row.center().y())),
            skin.color(QPalette::Active, QPalette::Highlight))
      << "the selected row";
  // The title as it stands, from 2 pixels in: "&" and "<live>" are text,
  // neither a mnemonic nor markup, so the ink ends where the whole text does.
  const QString title = list->model()->index(0, 0).data().toString();
  EXPECT_EQ(title, QStringLiteral("Glass Owls - Rock & Roll <live>"));
  const QColor background = skin.color(QPalette::Active, QPalette::Highlight);
  int inkEnd = 0;
  for (int x = row.left(); x < row.right() - 4; ++x)
    for (int y = row.top() + 3; y < row.bottom() - 3; ++y)
      if (QColor(image.pixel(x, y)) != background) inkEnd = x;
  const int textEnd = row.left() + 2 + QFontMetrics(list->font()).horizontalAdvance(title);
  EXPECT_NEAR(inkEnd, textEnd, 3);

  // Rows beyond the list's height: long titles are clipped, never scrolled.
  for (int i = 0; i < 40; ++i) window->AddTitle(std::string(120, 'W'));
  EXPECT_TRUE(QTest::qWaitFor([&] { return list->verticalScrollBar()->isVisible(); }, kWaitMs));
  EXPECT_FALSE(list->horizontalScrollBar()->isVisible());
}

// The mean colour of a glyph's ink.
QColor InkOf(const QIcon& icon, QIcon::Mode mode) {
  const QImage glyph = icon.pixmap(16, mode).toImage();
  double red = 0, green = 0, blue = 0, ink = 0;
  for (int y = 0; y < glyph.height(); ++y)
    for (int x = 0; x < glyph.width(); ++x) {
      const QColor pixel = glyph.pixelColor(x, y);
      if (pixel.alpha() < 128) continue;
      red += pixel.redF(), green += pixel.greenF(), blue += pixel.blueF(), ++ink;
    }
  return ink == 0 ? QColor() : QColor::fromRgbF(red / ink, green / ink, blue / ink);
}

// The colour of a control's edge as drawn: the left edge of its box, or of
// a named field, list or framed label; none for other controls.
std::optional<QColor> EdgeAsDrawn(QWidget* control) {
  auto* frame = qobject_cast<QFrame*>(control);
  const bool edged = qobject_cast<QLineEdit*>(control) || qobject_cast<QComboBox*>(control) ||
                     qobject_cast<QProgressBar*>(control) ||
                     (frame != nullptr && frame->frameShape() != QFrame::NoFrame);
  QRect edge = control->rect();
  if (auto* box = qobject_cast<QCheckBox*>(control)) {
    QStyleOptionButton option;
    option.initFrom(box);
    edge = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
  } else if (!edged || control->objectName().isEmpty()) {
    return std::nullopt;
  }
  return control->grab().toImage().pixelColor(edge.left(), edge.center().y());
}

// Every label, link and button of every window, in every skin: text stands
// out from what it is drawn on by 4.5:1, disabled text and glyphs by 3:1;
// the edges of boxes, fields and lists by 3:1 from the window.
TEST_F(MainWindowTest, EverySkinKeepsEveryTextAndGlyphLegible) {
  Start();
  window->Skins().Engine().SetActive(true);
  const std::vector<QWidget*> windows = {window.get(), settings.get(), files.get(), about.get()};
  auto* listen = Find<QPushButton>("BitBtn1");
  for (const std::string& skin : TSkinEngine::SkinNames()) {
    window->Skins().Engine().SelectSkin(skin);
    for (QWidget* shown : windows) {
      for (QWidget* control : shown->findChildren<QWidget*>()) {
        if (!qobject_cast<QLabel*>(control) && !qobject_cast<QAbstractButton*>(control)) continue;
        const QPalette::ColorGroup group =
            control->isEnabled() ? QPalette::Active : QPalette::Disabled;
        const QPalette& colours = control->palette();
        EXPECT_GE(ContrastRatio(colours.color(group, control->foregroundRole()),
                                colours.color(group, control->backgroundRole())),
                  control->isEnabled() ? 4.5 : 3.0)
            << skin << ": " << control->objectName().toStdString() << " of "
            << shown->objectName().toStdString();
      }
      for (QWidget* control : shown->findChildren<QWidget*>()) {
        const std::optional<QColor> edge = EdgeAsDrawn(control);
        if (!edge) continue;
        EXPECT_GE(ContrastRatio(*edge, control->palette().color(QPalette::Window)), 3.0)
            << skin << ": the edge of " << control->objectName().toStdString();
      }
    }
    for (const auto& [mode, group] : {std::pair{QIcon::Normal, QPalette::Active},
                                      std::pair{QIcon::Disabled, QPalette::Disabled}}) {
      EXPECT_GE(ContrastRatio(InkOf(listen->icon(), mode),
                              listen->palette().color(group, QPalette::Button)),
                3.0)
          << skin << ": the listen glyph, " << (mode == QIcon::Normal ? "enabled" : "disabled");
    }
  }
}

// A screen reader names every control of every window, in Russian where
// the control shows no text of its own.
TEST_F(MainWindowTest, EveryControlHasAnAccessibleName) {
  Start();
  QAccessible::setActive(true);
  for (QWidget* shown :
       std::vector<QWidget*>{window.get(), settings.get(), files.get(), about.get()}) {
    for (QWidget* control : shown->findChildren<QWidget*>()) {
      // Qt's own parts of a control (its viewport, its scroll bars) go by
      // the control's name, a menu by the item that opens it.
      if (control->objectName().isEmpty() ||
          control->objectName().startsWith(QLatin1String("qt_")) || qobject_cast<QMenu*>(control))
        continue;
      QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
      ASSERT_NE(accessible, nullptr);
      // A frame drawn around a control is no control: named, it would be
      // read out as a second one.
      if (accessible->role() == QAccessible::Border) {
        EXPECT_TRUE(accessible->text(QAccessible::Name).isEmpty())
            << control->objectName().toStdString();
        continue;
      }
      EXPECT_FALSE(accessible->text(QAccessible::Name).trimmed().isEmpty())
          << control->objectName().toStdString() << " of " << shown->objectName().toStdString();
    }
  }
}

// Sharp at any density: the banner has a pixel for each of the screen's.
TEST_F(MainWindowTest, TheBannerIsDrawnForTheScreensDensity) {
  Start();
  const QPixmap banner = Find<QLabel>("Image1")->pixmap();
  EXPECT_EQ(banner.devicePixelRatio(), window->devicePixelRatioF());
  EXPECT_EQ(banner.width(), qRound(365 * window->devicePixelRatioF()));
}

// The window grows: the fields and the list take its width, the list its
// height, the buttons keep to the right edge; it opens as large as it was.
TEST_F(MainWindowTest, TheWindowGrowsAndKeepsItsSizeBetweenRuns) {
  windowPlacesPath = folder.File("windows.ini");
  Start();
  window->resize(window->size() + QSize(300, 200));
  QWidget* client = window->centralWidget();
  EXPECT_EQ(client->size(), QSize(670, 723));
  EXPECT_EQ(Titles()->geometry(), QRect(0, 192, 669, 513));
  EXPECT_EQ(Find<QLineEdit>("Edit3")->width(), 609);
  EXPECT_EQ(client->width() - Find<QPushButton>("BitBtn1")->geometry().right(), 6);
  EXPECT_EQ(Find<QWidget>("StatusBar1")->geometry().bottom(), client->height() - 1);
  const QSize grown = window->size();
  window->close();
  Start();
  EXPECT_EQ(window->size(), grown);
  EXPECT_EQ(window->minimumSize(), window->minimumSizeHint());
}

// Kept on a larger screen, or on one since unplugged: the window opens on
// the screen there is, no larger than it.
TEST_F(MainWindowTest, APlaceKeptOnAnotherScreenIsFittedToThisOne) {
  windowPlacesPath = folder.File("windows.ini");
  WriteBytes(windowPlacesPath, "[main]\nsize=@Size(5000 4000)\nposition=@Point(-3000 -3000)\n");
  Start();
  const QRect screen = window->screen()->availableGeometry();
  EXPECT_TRUE(screen.contains(window->geometry().topLeft()));
  EXPECT_EQ(window->size(), window->size().boundedTo(screen.size()));
  window->close();
  // Kept near the corner, for a window smaller than it is now.
  const QPoint nearTheCorner = screen.bottomRight() - QPoint(10, 10);
  WriteBytes(windowPlacesPath, "[main]\nposition=@Point(" + std::to_string(nearTheCorner.x()) +
                                   " " + std::to_string(nearTheCorner.y()) + ")\n");
  Start();
  EXPECT_TRUE(screen.contains(window->frameGeometry()));
}

// A title's own menu offers the "Файл" commands, for the title clicked with
// the right button, or the current one on Shift+F10 or the menu key.
TEST_F(MainWindowTest, ATitlesMenuOffersTheFileCommandsForThatTitle) {
  Start();
  Search(Utf8("дорога"));
  ASSERT_EQ(window->TitleCount(), 2);
  auto* menu = Find<QMenu>("TitleMenu");
  EXPECT_EQ(menu->actions(), (QList<QAction*>{Item("N12"), Item("N13"), Item("N14")}));
  const QRect second = Titles()->visualRect(Titles()->model()->index(1, 0));
  QWidget* rows = Titles()->viewport();
  QTest::mouseClick(rows, Qt::RightButton, {}, second.center());
  QContextMenuEvent rightClick(QContextMenuEvent::Mouse, second.center(),
                               rows->mapToGlobal(second.center()));
  QApplication::sendEvent(rows, &rightClick);
  ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, kWaitMs)) << "right-click";
  EXPECT_EQ(Titles()->selectionModel()->selectedRows(),
            QModelIndexList{Titles()->model()->index(1, 0)});
  menu->close();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get(), kWaitMs));
  Titles()->setFocus();
  for (Qt::Key key : {Qt::Key_F10, Qt::Key_Menu}) {
    QTest::keyClick(Titles(), key, key == Qt::Key_F10 ? Qt::ShiftModifier : Qt::NoModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, kWaitMs)) << key;
    EXPECT_EQ(menu->y(), rows->mapToGlobal(second.center()).y());
    EXPECT_EQ(menu->activeAction(), Item("N12")) << "ready for Enter";
    menu->close();
  }
}

// From an open menu, Left and Right lead to the next menu, past the
// "О программе" command, where Enter would reach the search box.
TEST_F(MainWindowTest, ArrowsInAnOpenMenuGoFromMenuToMenu) {
  Start();
  auto* program = Find<QMenu>("N1");
  auto* file = Find<QMenu>("N11");
  const auto isOpen = [](QMenu* menu) {
    return QTest::qWaitFor([&] { return QApplication::activePopupWidget() == menu; }, kWaitMs);
  };
  window->menuBar()->setActiveAction(program->menuAction());
  ASSERT_TRUE(isOpen(program));
  QTest::keyClick(program, Qt::Key_Left);
  EXPECT_TRUE(isOpen(file));
  QTest::keyClick(file, Qt::Key_Right);
  EXPECT_TRUE(isOpen(program));
  program->close();
}

}  // namespace
