// The downloaded-files window and the about window, on their own.
#include <QFileDialog>
#include <QHeaderView>
#include <QHelpEvent>
#include <QListWidget>
#include <QMenu>
#include <QToolTip>
#include <QTranslator>
#include <QTreeView>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include "about_window.h"
#include "file_list_window.h"
#include "main_window_fixture.h"
#include "program.h"
#include "save_dialog.h"
#include "window_places.h"

namespace {

using namespace app_testing;

class FileListTest : public ::testing::Test {
 protected:
  QListWidget* Names() { return files.findChild<QListWidget*>(QStringLiteral("ListBox2")); }
  QAction* Item(const char* menu, int index) {
    return files.findChild<QMenu*>(QLatin1String(menu))->actions().at(index);
  }
  // Runs a menu command; returns the error it showed, or "".
  QString Run(QAction* item) {
    ModalAnswer error(Qt::Key_Return, 1000);
    item->trigger();
    return error.text;
  }
  // What hovering over a row shows.
  QString Hover(int row) {
    QListWidget* list = Names();
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QHelpEvent hover(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(list->viewport(), &hover);
    return QToolTip::text();
  }
  // Tells the list what became of a download.
  void Show(uint64_t id, TDownloadState state, int64_t received = 0, int64_t total = -1) {
    TDownloadStatus status;
    status.id = id;
    status.state = state;
    status.received = received;
    status.total = total;
    files.ShowDownload(status);
  }

  RecordingOpener opener;
  TForm3 files{opener};
};

TEST_F(FileListTest, TheBalloonMenuTakesTheNewestAndClearEmptiesBothLists) {
  const QString empty = QString::fromUtf8("В списке загруженных файлов нет ни одного файла.");
  EXPECT_EQ(Run(Item("PopupMenu2", 0)), empty);
  EXPECT_EQ(Run(Item("PopupMenu2", 1)), empty);
  files.Add("/music/a/first.mp3", "first");
  files.Add("/music/b/second.mp3", "second.mp3");
  EXPECT_EQ(Names()->currentRow(), 1) << "the new row is selected";
  EXPECT_EQ(Names()->item(0)->text(), QStringLiteral("first"));
  EXPECT_EQ(Run(Item("PopupMenu2", 0)), QString());
  EXPECT_EQ(Run(Item("PopupMenu2", 1)), QString());
  EXPECT_EQ(opener.opened, (std::vector<std::string>{"/music/b/second.mp3", "/music/b/"}));
  EXPECT_EQ(Run(Item("PopupMenu1", 3)), QString());
  EXPECT_TRUE(files.Paths().empty());
  EXPECT_EQ(Names()->count(), 0);
  EXPECT_EQ(Run(Item("PopupMenu2", 0)), empty) << "a notification that outlived its row";
}

// The commands act on the row shown as selected. A click on the blank area
// below the rows clears the selection (Qt's current row stays): playing and
// opening then ask for a row, and removing removes nothing.
TEST_F(FileListTest, CommandsActOnTheRowShownAsSelected) {
  files.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&files));
  struct Case {
    int item;  // of the context menu
    bool cleared;
    std::vector<std::string> opened;
    QString error;
    std::vector<std::string> left;
  };
  const QString none = QString::fromUtf8("Выберите файл в списке загруженных файлов.");
  const std::vector<std::string> both = {"/music/a/g1.mp3", "/music/b/g2.mp3"};
  const Case cases[] = {
      {0, false, {"/music/a/g1.mp3"}, {}, both}, {0, true, {}, none, both},
      {1, false, {"/music/a/"}, {}, both},       {1, true, {}, none, both},
      {2, false, {}, {}, {"/music/b/g2.mp3"}},   {2, true, {}, {}, both},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.item) + (c.cleared ? ", cleared" : ", selected"));
    Item("PopupMenu1", 3)->trigger();
    opener.opened.clear();
    files.Add(both[0], "g1");
    files.Add(both[1], "g2");
    QWidget* rows = Names()->viewport();
    QTest::mouseClick(rows, Qt::LeftButton, {}, Names()->visualItemRect(Names()->item(0)).center());
    if (c.cleared) QTest::mouseClick(rows, Qt::LeftButton, {}, QPoint(20, rows->height() - 5));
    EXPECT_EQ(Run(Item("PopupMenu1", c.item)), c.error);
    EXPECT_EQ(opener.opened, c.opened);
    EXPECT_EQ(files.Paths(), c.left);
    ASSERT_EQ(Names()->count(), static_cast<int>(c.left.size()));
    EXPECT_EQ(Names()->item(Names()->count() - 1)->text(), QStringLiteral("g2"));
  }
}

// After a batch the network cut: Ctrl+A, then one command for all the rows
// it fits; a queued row is neither tried again nor removed.
TEST_F(FileListTest, OneCommandActsOnEverySelectedRowItFits) {
  std::vector<std::string> asked;
  files.OnCancel = [&](uint64_t id) { asked.push_back("cancel " + std::to_string(id)); };
  files.OnRetry = [&](uint64_t id) { asked.push_back("retry " + std::to_string(id)); };
  files.OnForget = [&](uint64_t id) { asked.push_back("forget " + std::to_string(id)); };
  const TDownloadState states[] = {TDownloadState::kQueued, TDownloadState::kFailed,
                                   TDownloadState::kCancelled, TDownloadState::kFailed};
  files.Add("/music/saved.mp3", "saved");
  for (uint64_t id = 1; id <= 4; ++id) {
    files.AddDownload(id, "track");
    Show(id, states[id - 1]);
  }
  const QWidget userWindow;
  files.ShowFailed(userWindow);
  QList<int> failed;
  for (const QModelIndex& row : Names()->selectionModel()->selectedRows()) failed.append(row.row());
  std::sort(failed.begin(), failed.end());
  EXPECT_EQ(failed, (QList<int>{2, 4})) << "the list opens on the failed rows";
  files.activateWindow();  // the user turns to it
  ASSERT_TRUE(QTest::qWaitForWindowActive(&files));
  Names()->setFocus();
  QTest::keyClick(Names(), Qt::Key_A, Qt::ControlModifier);
  QMenu* menu = files.findChild<QMenu*>(QStringLiteral("PopupMenu1"));
  emit menu->aboutToShow();
  EXPECT_TRUE(Item("PopupMenu1", 4)->isVisible()) << "Отменить";
  EXPECT_TRUE(Item("PopupMenu1", 5)->isVisible()) << "Повторить";
  Item("PopupMenu1", 5)->trigger();
  EXPECT_EQ(asked, (std::vector<std::string>{"retry 2", "retry 3", "retry 4"}));
  asked.clear();
  QTest::keyClick(Names(), Qt::Key_Delete);
  EXPECT_EQ(asked, (std::vector<std::string>{"forget 4", "forget 3", "forget 2"}));
  ASSERT_EQ(Names()->count(), 1);
  Show(1, TDownloadState::kRunning, 1, 2);
  EXPECT_EQ(Names()->item(0)->text(), Utf8("track — 50%")) << "the row left follows its download";
  Names()->selectAll();
  Item("PopupMenu1", 4)->trigger();
  EXPECT_EQ(asked.back(), "cancel 1");
}

TEST_F(FileListTest, DownloadRowsTellTheirStateAndOfferWhatItAllows) {
  std::vector<std::string> asked;
  files.OnCancel = [&](uint64_t id) { asked.push_back("cancel " + std::to_string(id)); };
  files.OnRetry = [&](uint64_t id) { asked.push_back("retry " + std::to_string(id)); };
  files.OnForget = [&](uint64_t id) { asked.push_back("forget " + std::to_string(id)); };
  files.Add("/music/saved.mp3", "saved");
  for (uint64_t id : {1, 2}) files.AddDownload(id, Utf8ToCp1251("Дорога / домой"));
  Show(1, TDownloadState::kRunning, 250, 1000);
  TDownloadStatus status;
  status.id = 2;
  status.state = TDownloadState::kFailed;
  status.failure = TMessage("HTTP/1.1 404 <Not Found>");
  files.ShowDownload(status);
  EXPECT_EQ(Names()->item(1)->text(), Utf8("Дорога / домой — 25%"));
  EXPECT_EQ(Names()->item(2)->text(), Utf8("Дорога / домой — HTTP/1.1 404 <Not Found>"));
  // Hovering tells a row whole, as plain text: a saved file's whole path.
  EXPECT_EQ(Hover(0), Qt::convertFromPlainText("/music/saved.mp3"));
  EXPECT_EQ(Hover(2), Qt::convertFromPlainText(Utf8("Дорога / домой — HTTP/1.1 404 <Not Found>")));
  EXPECT_EQ(files.Paths(), (std::vector<std::string>{"/music/saved.mp3", "", ""}));
  // What each row's menu offers, and its last visible command run.
  const std::pair<int, std::string> rows[] = {{1, "cancel 1"}, {2, "retry 2"}};
  for (const auto& [row, command] : rows) {
    Names()->setCurrentRow(row);
    QMenu* menu = files.findChild<QMenu*>(QStringLiteral("PopupMenu1"));
    emit menu->aboutToShow();
    QAction* last = nullptr;
    for (QAction* action : menu->actions())
      if (action->isVisible()) last = action;
    EXPECT_FALSE(Item("PopupMenu1", 0)->isVisible()) << "no play for an unsaved row";
    last->trigger();
    EXPECT_EQ(asked.back(), command);
  }
  // Enter tries a failed row again, as a double-click does.
  files.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&files));
  Names()->setFocus();
  QTest::keyClick(Names(), Qt::Key_Return);
  EXPECT_EQ(asked.back(), "retry 2");
  QTest::keyClick(Names(), Qt::Key_F10, Qt::ShiftModifier);
  QMenu* menu = files.findChild<QMenu*>(QStringLiteral("PopupMenu1"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 5000)) << "Shift+F10";
  const QRect row = Names()->visualItemRect(Names()->currentItem());
  EXPECT_EQ(menu->y(), Names()->viewport()->mapToGlobal(row.center()).y()) << "at the current row";
  EXPECT_EQ(menu->activeAction(), Item("PopupMenu1", 2)) << "Удалить из списка, the first shown";
  menu->close();
  EXPECT_EQ(Run(Item("PopupMenu1", 3)), QString());  // "Очистить список"
  EXPECT_EQ(asked.back(), "forget 2") << "the failed row's partial file goes";
  EXPECT_EQ(Names()->count(), 1) << "the running row stays";
  status.id = 1;
  status.state = TDownloadState::kDone;
  status.savedPath = "/music/Дорога _ домой.mp3";
  files.ShowDownload(status);
  EXPECT_EQ(Names()->item(0)->text(), Utf8("Дорога _ домой.mp3"));
  EXPECT_EQ(Hover(0), Qt::convertFromPlainText(Utf8("/music/Дорога _ домой.mp3")));
  Names()->setCurrentRow(0);
  QTest::keyClick(Names(), Qt::Key_Return);
  EXPECT_EQ(opener.opened, std::vector<std::string>{"/music/Дорога _ домой.mp3"}) << "Enter plays";
  EXPECT_EQ(Run(Item("PopupMenu2", 0)), QString());
  EXPECT_EQ(opener.opened.back(), "/music/Дорога _ домой.mp3") << "the newest saved file";
  QTest::keyClick(Names(), Qt::Key_Delete);
  EXPECT_EQ(Names()->count(), 0) << "Delete removes the row";
}

// Moved by the user, the window opens there at the next start.
TEST_F(FileListTest, OpensWhereTheUserLeftItLastTime) {
  TempFolder folder;
  const std::string places = folder.File("windows.ini");
  files.move(150, 120);
  KeepWindowPlace(files, places, "files");
  TForm3 next{opener};
  RestorePositionOnFirstShow(next, places, "files");
  next.show();
  EXPECT_EQ(next.geometry().topLeft(), QPoint(150, 120));
}

TEST(ProgramSetUp, QtsOwnDialogsSpeakTheDesktopsLanguageAndOkStaysOk) {
  QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
  SetUpApplication();
  QLocale::setDefault(QLocale::c());
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "File &name:"), Utf8("&Имя файла:"));
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), Utf8("Отмена"));
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "OK"), QStringLiteral("OK"));
  for (QTranslator* texts : qApp->findChildren<QTranslator*>()) {
    QCoreApplication::removeTranslator(texts);
    delete texts;
  }
}

// Qt's own save dialog shows a long title whole, with its size, type and
// date, and the places beside the folder whole.
TEST(SaveDialog, ShowsALongTitleAndThePlacesWhole) {
  TempFolder folder;
  WriteBytes(folder.File("Бумажные Журавли - Дорога домой.mp3"), std::string(229694, 'x'));
  std::vector<std::string> cut;
  ModalAnswer answer(
      [&](QWidget* box) {
        // Qt keeps the view the user chose last; the details show the cut.
        static_cast<QFileDialog*>(box)->setViewMode(QFileDialog::Detail);
        auto* files = box->findChild<QTreeView*>(QStringLiteral("treeView"));
        auto* places = box->findChild<QAbstractItemView*>(QStringLiteral("sidebar"));
        const auto cutCells = [&] {
          std::vector<std::string> cells;
          QAbstractItemModel* model = files->model();
          for (int column = 0; column < model->columnCount(files->rootIndex()); ++column) {
            const QModelIndex cell = model->index(0, column, files->rootIndex());
            if (files->header()->sectionSize(column) < files->sizeHintForIndex(cell).width())
              cells.push_back(cell.data().toString().toStdString());
          }
          if (places->viewport()->width() < places->sizeHintForColumn(0)) cells.push_back("places");
          return cells;
        };
        // The folder is read and the columns fitted to it in the background.
        const auto oneRow = [&] { return files->model()->rowCount(files->rootIndex()) == 1; };
        if (!QTest::qWaitFor([&] { return oneRow() && cutCells().empty(); }, kWaitMs))
          cut = oneRow() ? cutCells() : std::vector<std::string>{"no row"};
        static_cast<QDialog*>(box)->reject();
      },
      kWaitMs, [](QWidget* box) { return qobject_cast<QFileDialog*>(box) != nullptr; });
  RunSaveDialog(nullptr, QString::fromStdString(folder.File("track")), QString());
  ASSERT_TRUE(answer.Answered());
  EXPECT_EQ(cut, std::vector<std::string>{});
}

TEST(AboutWindow, TheSiteOpensOnThePress) {
  RecordingOpener opener;
  TForm4 about(opener);
  EXPECT_EQ(about.windowTitle(), Utf8("О программе"));
  EXPECT_EQ(about.size(), QSize(345, 210));
  auto* link = about.findChild<QLabel*>(QStringLiteral("Label4"));
  ASSERT_NE(link, nullptr);
  QTest::mousePress(link, Qt::LeftButton);
  EXPECT_EQ(opener.opened, std::vector<std::string>{link->text().toStdString()});
  EXPECT_EQ(link->textFormat(), Qt::PlainText);
  for (auto* label : about.findChildren<QLabel*>()) {
    if (label->wordWrap()) continue;
    EXPECT_LE(label->sizeHint().width(), label->width()) << label->objectName().toStdString();
  }
}

}  // namespace
