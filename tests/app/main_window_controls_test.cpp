// The main window as it stands after start-up: its controls, menus and
// states, and what the skin engine does to it.
#include <QAbstractButton>
#include <QMenuBar>
#include <QProgressBar>
#include <QScrollBar>
#include <QStatusBar>

#include "main_window_fixture.h"
#include "skin_looks.h"
#include "title_list.h"

namespace {

using namespace app_testing;

TEST_F(MainWindowTest, ControlsMenusAndStatesAfterStartUp) {
  Start();
  EXPECT_EQ(window->centralWidget()->size(), QSize(370, 523));
  EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "fixed";
  EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
  const struct {
    const char* name;
    QRect geometry;  // a label's size follows its caption
    const char* text;
    const char* hint;
    bool enabled;
    bool tabStop;
  } controls[] = {
      {"Image1", {2, 2, 365, 81}, "", "", true, false},
      {"Edit3", {4, 84, 309, 21}, "", "", true, false},
      {"Button1", {316, 84, 50, 21}, "Поиск", "Начать поиск", true, false},
      {"Label2", {4, 106, 0, 0}, "Имя файла:", "", true, false},
      {"Label5", {4, 124, 361, 21}, "", "Имя найденого файла", true, false},
      {"Label1", {4, 146, 0, 0}, "Ссылка:", "", true, false},
      {"Edit4", {4, 164, 285, 21}, "", "Ссылка на файл в интернете", false, false},
      {"Button2", {292, 164, 49, 21}, "Скачать", "Скачать выделенный файл", false, false},
      {"BitBtn1", {344, 164, 21, 21}, "", "Прослушать выделенный файл", false, false},
      {"ListBox1", {0, 192, 369, 313}, "", "", false, true},
      {"StatusBar1", {0, 504, 370, 19}, "", "", true, false},
  };
  for (const auto& c : controls) {
    auto* control = Find<QWidget>(c.name);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->pos(), c.geometry.topLeft()) << c.name;
    if (!c.geometry.size().isNull()) {
      EXPECT_EQ(control->size(), c.geometry.size()) << c.name;
    }
    const QVariant text = control->property("text");
    if (text.isValid() && control->metaObject()->className() != QByteArray("QLabel")) {
      EXPECT_EQ(text.toString(), Utf8(c.text)) << c.name;
    }
    EXPECT_EQ(control->toolTip(), Utf8(c.hint)) << c.name;
    EXPECT_EQ(control->isEnabled(), c.enabled) << c.name;
    EXPECT_EQ(bool(control->focusPolicy() & Qt::TabFocus), c.tabStop) << c.name;
  }
  auto* progress = Find<QProgressBar>("ProgressBar1");
  EXPECT_EQ(progress->parentWidget(), Find<QStatusBar>("StatusBar1"));
  EXPECT_EQ(progress->geometry(), QRect(0, 2, 245, 17));
  EXPECT_FALSE(progress->isVisible());

  const struct {
    const char* name;
    const char* caption;
    QKeySequence shortcut;
  } items[] = {
      {"N2", "Начать поиск", {}},
      {"N3", "Остановить поиск", {}},
      {"N5", "Переподключение", QKeySequence(Qt::CTRL | Qt::Key_R)},
      {"N7", "Список загруженных файлов", QKeySequence(Qt::CTRL | Qt::Key_L)},
      {"N8", "Настройки", QKeySequence(Qt::CTRL | Qt::Key_N)},
      {"N10", "Выход", QKeySequence(Qt::CTRL | Qt::Key_X)},
      {"N12", "Скачать", QKeySequence(Qt::CTRL | Qt::Key_D)},
      {"N13", "Скопировать ссылку", {}},
      {"N14", "Воспроизвести", QKeySequence(Qt::CTRL | Qt::Key_P)},
      {"N15", "О программе", {}},
  };
  for (const auto& i : items) {
    QAction* item = Item(i.name);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), Utf8(i.caption)) << i.name;
    EXPECT_EQ(item->shortcut(), i.shortcut) << i.name;
    EXPECT_EQ(item->icon().isNull(), std::string(i.name) == "N15") << i.name;
  }
  EXPECT_FALSE(Item("N12")->isEnabled()) << "until a search starts";
  EXPECT_FALSE(Find<QMenu>("SkinMenu")->menuAction()->isVisible()) << "skins are off";
}

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

// Every label, link and button of every window, in every skin: text stands
// out from what it is drawn on by 4.5:1, disabled text and glyphs by 3:1.
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

}  // namespace
