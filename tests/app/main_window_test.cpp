// The main window as a user drives it, against the substitute portal.
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QClipboard>
#include <QCursor>
#include <QDir>
#include <QListWidget>
#include <QProgressBar>
#include <QStandardPaths>
#include <QUrl>
#include <csignal>
#include <filesystem>
#include <optional>
#include <thread>

#include "main_window_fixture.h"
#include "program.h"
#include "tray_icon.h"
#include "window_places.h"

namespace {

using namespace app_testing;

std::string Mp3Head(const std::string& bytes) {
  return bytes.substr(0, 4);
}

TEST_F(MainWindowTest, StartSearchPickDownloadAndPlayFromTheBalloon) {
  Start();
  EXPECT_EQ(startNotice, Utf8("Сейчас произойдет подключение к серверу, убедитесь, что "
                              "подключение к интернету активно"));
  EXPECT_EQ(Caption(), Utf8("Подключено"));
  EXPECT_TRUE(window->Connected());
  EXPECT_FALSE(Titles()->isEnabled());
  EXPECT_FALSE(Item("N12")->isEnabled()) << "until a search starts";
  EXPECT_FALSE(Find<QMenu>("SkinMenu")->menuAction()->isVisible()) << "skins are off";

  EXPECT_EQ(Search(Utf8("дорога")), Utf8("Поиск завершен, найдено 2 Файлов"));
  EXPECT_EQ(Caption(), Utf8("Скачивание музыки с портала"));
  ASSERT_EQ(Titles()->model()->rowCount(), 2);
  EXPECT_EQ(Titles()->model()->index(1, 0).data().toString(),
            Utf8("Северный Ветер - Дорога в облака"));
  EXPECT_TRUE(Titles()->isEnabled());

  ClickTitle(1);
  const QString link = QStringLiteral("http://localhost:%1/tracks/3.mp3").arg(Port());
  EXPECT_EQ(Find<QLabel>("Label5")->text(), Utf8("Северный Ветер - Дорога в облака"));
  EXPECT_EQ(Find<QLineEdit>("Edit4")->text(), link);

  const std::string chosen = folder.File("в облака");
  ASSERT_TRUE(Download(chosen));
  const std::string saved = ReadBytes(chosen + ".mp3");
  EXPECT_EQ(saved.size(), 3000u);
  EXPECT_EQ(Mp3Head(saved), "\xFF\xFB\x90\xC4");
  EXPECT_EQ(Caption(), Utf8("Файл успешно загружен"));
  EXPECT_TRUE(Find<QPushButton>("Button1")->isEnabled());
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return !Find<QProgressBar>("ProgressBar1")->isVisible(); }, kWaitMs));
  EXPECT_EQ(files->Paths(), std::vector<std::string>{chosen + ".mp3"});
  EXPECT_EQ(files->findChild<QListWidget*>()->item(0)->text(), Utf8("в облака"));
  ASSERT_EQ(Balloons().size(), 1u);
  EXPECT_STREQ(Balloons()[0]->szInfoTitle, "Melodrop Downloader");
  EXPECT_EQ(Cp1251ToUtf8(Balloons()[0]->szInfo),
            "Файл Северный Ветер - Дорога в облака успешно загружен");
  EXPECT_EQ(Balloons()[0]->dwInfoFlags, tray::NIIF_INFO);
  EXPECT_EQ(Balloons()[0]->uTimeout, 10000u);

  QCursor::setPos(300, 200);
  trayPlatform.Notify(Balloons()[0]->hWnd, Balloons()[0]->uID, tray::NIN_BALLOONUSERCLICK);
  QMenu& menu = files->BalloonMenu();
  ASSERT_TRUE(QTest::qWaitFor([&] { return menu.isVisible(); }, kWaitMs));
  EXPECT_EQ(menu.pos(), QPoint(200, 250));
  menu.actions().at(0)->trigger();
  menu.close();
  EXPECT_EQ(opener.opened, std::vector<std::string>{chosen + ".mp3"});
  // The notification's buttons: the same choices.
  const std::pair icon{Balloons()[0]->hWnd, Balloons()[0]->uID};
  EXPECT_EQ(
      trayPlatform.balloonActions[icon],
      (std::vector<std::string>{Utf8ToCp1251("Воспроизвести"), Utf8ToCp1251("Открыть папку")}));
  trayPlatform.Notify(icon.first, icon.second, tray::NIN_BALLOONACTION + 1);
  EXPECT_EQ(opener.opened.back(), chosen.substr(0, chosen.rfind('/') + 1)) << "its folder";

  Item("N14")->trigger();
  EXPECT_EQ(opener.opened.back(), "http://localhost:" + std::to_string(Port()) +
                                      "/r/my/player3.swf?ver=4&file=http%3A%2F%2Flocalhost%3A" +
                                      std::to_string(Port()) + "%2Ftracks%2F3.mp3");
  Item("N13")->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), link);
  QTest::mouseClick(Find<QWidget>("Image1"), Qt::LeftButton);
  EXPECT_EQ(opener.opened.back(), "http://md.example/forum/");
  auto* linkField = Find<QLineEdit>("Edit4");
  linkField->deselect();
  QTest::mouseClick(linkField, Qt::LeftButton);
  EXPECT_EQ(linkField->selectedText(), link);

  // "Выход" in the tray icon's menu.
  trayPlatform.whileMenuShown = [](tray::TPopupMenu& menu) { menu.Items().at(0).Click(); };
  trayPlatform.Notify(Balloons()[0]->hWnd, Balloons()[0]->uID, tray::WM_RBUTTONDOWN);
  EXPECT_TRUE(QTest::qWaitFor([&] { return closes == 1; }, kWaitMs));
  EXPECT_EQ(Requests().back(), "GET /cgi-bin/logout");
}

TEST_F(MainWindowTest, SeveralTitlesGoIntoOneFolderInTheBackgroundNamedByTheirTitles) {
  windowPlacesPath = folder.File("windows.ini");
  Start();
  Search(Utf8("дорога"));
  ASSERT_EQ(window->TitleCount(), 2);
  WriteBytes(folder.File("Северный Ветер - Дорога домой.mp3"), "mine");
  Titles()->setFocus();
  QTest::keyClick(Titles(), Qt::Key_A, Qt::ControlModifier);
  ASSERT_EQ(Titles()->selectionModel()->selectedRows().size(), 2);
  ASSERT_TRUE(DownloadSelectedInto(folder.File("")));
  EXPECT_TRUE(files->isVisible()) << "the downloads show themselves";
  EXPECT_NE(QApplication::activeWindow(), files.get()) << "the keyboard stays with the titles";
  EXPECT_FALSE(files->frameGeometry().intersects(window->frameGeometry()))
      << "beside, not over them";
  EXPECT_TRUE(Item("N16")->isEnabled()) << "Остановить загрузки";
  const std::vector<std::string> saved = {folder.File("Северный Ветер - Дорога домой (2).mp3"),
                                          folder.File("Северный Ветер - Дорога в облака.mp3")};
  ASSERT_TRUE(QTest::qWaitFor([&] { return files->Paths() == saved; }, kWaitMs));
  EXPECT_EQ(ReadBytes(saved[0]).size(), 9000u);
  EXPECT_EQ(ReadBytes(folder.File("Северный Ветер - Дорога домой.mp3")), "mine") << "kept";
  EXPECT_EQ(files->findChild<QListWidget*>()->item(1)->text(),
            Utf8("Северный Ветер - Дорога в облака.mp3"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return !Item("N16")->isEnabled(); }, kWaitMs));
  ASSERT_TRUE(QTest::qWaitFor([&] { return Balloons().size() == 2u; }, kWaitMs));
  EXPECT_EQ(Cp1251ToUtf8(Balloons()[1]->szInfo), "Загружено файлов: 2") << "close together";
  EXPECT_EQ(QDir(KeptDownloadFolder(windowPlacesPath)),
            QDir(QString::fromStdString(folder.File(""))))
      << "the next run's dialogs open there";
}

// When a batch has ended, the status line counts its failed downloads and
// the list opens on their rows, from where they are tried again.
TEST_F(MainWindowTest, FailedBackgroundDownloadsStayInSightUntilTriedAgain) {
  Start();
  Search(Utf8("дорога"));
  Titles()->setFocus();
  QTest::keyClick(Titles(), Qt::Key_A, Qt::ControlModifier);
  const std::string gone = folder.File("Музыка");
  std::filesystem::create_directory(gone);
  ModalAnswer folderDialog(
      [&](QWidget* box) {
        auto* dialog = static_cast<QFileDialog*>(box);
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
            ->setText(QString::fromStdString(gone));
        QMetaObject::invokeMethod(dialog, "accept");
        // A file where the folder was, before the first track is saved.
        std::filesystem::remove(gone);
        WriteBytes(gone, "");
      },
      kWaitMs, [](QWidget* box) { return box->objectName() == QLatin1String("FolderDialog1"); });
  Find<QPushButton>("Button2")->click();
  ASSERT_TRUE(folderDialog.Answered());
  files->hide();  // closed by the user before the batch ends
  auto* status = Find<QLabel>("Panel0");
  ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == Utf8("Не загружено файлов: 2 из 2"); },
                              kWaitMs))
      << status->text().toStdString();
  EXPECT_TRUE(files->isVisible());
  EXPECT_EQ(files->findChild<QListWidget*>()->selectedItems().size(), 2);
  EXPECT_FALSE(Item("N16")->isEnabled()) << "Остановить загрузки";

  std::filesystem::remove(gone);
  std::filesystem::create_directory(gone);
  QAction* retry = files->findChild<QMenu*>(QStringLiteral("PopupMenu1"))->actions().last();
  ASSERT_EQ(retry->text(), Utf8("Повторить"));
  retry->trigger();
  retry->trigger();  // twice, before the window hears of the first
  ASSERT_TRUE(QTest::qWaitFor([&] { return files->Paths()[1] != ""; }, kWaitMs));
  EXPECT_TRUE(QTest::qWaitFor([&] { return status->text() == QStringLiteral(" "); }, kWaitMs))
      << status->text().toStdString();
  EXPECT_EQ(ReadBytes(gone + "/Северный Ветер - Дорога в облака.mp3").size(), 3000u);
}

// A download that fails in the background says why in the window's words,
// on one line of the list (the client's own text has two).
TEST_F(MainWindowTest, ABackgroundDownloadThatFailsSaysWhyInRussianOnOneLine) {
  Start();
  const uint64_t id = window->Queue().Add({"http://127.0.0.1:1/x.mp3", "x", folder.File("")});
  files->AddDownload(id, "x");
  auto* rows = files->findChild<QListWidget*>();
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return rows->item(rows->count() - 1)->text().contains(Utf8("Ошибка")); }, kWaitMs));
  EXPECT_EQ(rows->item(rows->count() - 1)->text(),
            Utf8("x — Ошибка подключения: сервер отклонил подключение."));
}

TEST_F(MainWindowTest, DownloadEdgesIndexErrorCancelTwiceMp3EndingAndARefusedName) {
  Start();
  Search(Utf8("дорога"));
  EXPECT_EQ(Titles()->selectionModel()->selectedRows().value(0).row(), 0)
      << "a search selects its first title";
  {
    // A selection the user cleared (Ctrl and a click) stays cleared when the
    // list takes the focus, whatever Qt makes current.
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::mouseClick(Titles()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      Titles()->visualRect(Titles()->model()->index(0, 0)).center());
    Titles()->setFocus(Qt::TabFocusReason);
    ModalAnswer error;
    ModalAnswer saveDialog(SaveAs(""), kWaitMs, IsFileDialog);
    Find<QPushButton>("Button2")->click();
    EXPECT_FALSE(saveDialog.Answered());
    ASSERT_TRUE(error.Answered()) << "nothing selected";
    EXPECT_EQ(error.text, QStringLiteral("List index out of bounds (-1)"));
  }
  ClickTitle(0);
  const QString before = Caption();
  EXPECT_TRUE(Download(""));
  EXPECT_EQ(Caption(), before) << "a cancel changes nothing";
  EXPECT_TRUE(files->Paths().empty());

  ASSERT_TRUE(Download(folder.File("first.MP3")));
  EXPECT_EQ(ReadBytes(folder.File("first.MP3")).size(), 9000u);
  // The menu command: the dialog offers the title in the found-name field
  // as a name, in the last folder; the balloon names that title.
  ClickTitle(1);
  Find<QLabel>("Label5")->setText(Utf8("Имя из поля"));
  {
    // Replacing a file asks first; a No returns to the dialog, on that name.
    ModalAnswer no(Press(QMessageBox::No), kWaitMs, IsReplaceQuestion);
    std::optional<ModalAnswer> backInTheDialog;
    QStringList offeredAgain;
    ModalAnswer saveDialog(
        [&](QWidget* box) {
          SaveAs(folder.File("first.MP3"))(box);
          backInTheDialog.emplace(
              [&](QWidget* again) {
                offeredAgain = static_cast<QFileDialog*>(again)->selectedFiles();
                static_cast<QDialog*>(again)->reject();
              },
              kWaitMs, IsFileDialog);
        },
        kWaitMs, IsFileDialog);
    Item("N12")->trigger();
    ASSERT_TRUE(no.Answered());
    EXPECT_TRUE(no.text.startsWith(QStringLiteral("first.MP3 "))) << no.text.toStdString();
    ASSERT_TRUE(backInTheDialog && backInTheDialog->Answered());
    EXPECT_EQ(offeredAgain, QStringList{QString::fromStdString(folder.File("first.MP3"))});
    EXPECT_EQ(ReadBytes(folder.File("first.MP3")).size(), 9000u) << "kept";
  }
  {
    ModalAnswer yes(Press(QMessageBox::Yes), kWaitMs, IsReplaceQuestion);
    ModalAnswer saveDialog(SaveAs(folder.File("first.MP3")), kWaitMs, IsFileDialog);
    Item("N12")->trigger();
    ASSERT_TRUE(saveDialog.Answered());
    ASSERT_TRUE(yes.Answered());
  }
  EXPECT_EQ(lastOffered, QString::fromStdString(folder.File("Имя из поля.mp3")));
  EXPECT_EQ(files->Paths(),
            (std::vector<std::string>{folder.File("first.MP3"), folder.File("first.MP3")}));
  EXPECT_EQ(ReadBytes(folder.File("first.MP3")).size(), 3000u) << "replaced by row 1's track";
  EXPECT_FALSE(std::filesystem::exists(folder.File("first.MP3.mp3")));
  ASSERT_EQ(Balloons().size(), 2u);
  EXPECT_EQ(Cp1251ToUtf8(Balloons()[1]->szInfo), "Файл Имя из поля успешно загружен");
  WriteBytes(settingsPath, "[MAIN]\r\nPort=" + std::to_string(Port()) + "\r\nShowBaloon=0\r\n");
  // A name beyond Windows-1251 is kept as chosen.
  ASSERT_TRUE(Download(folder.File("second ü 日本")));
  EXPECT_EQ(Balloons().size(), 2u) << "notifications off";
  EXPECT_EQ(files->Paths().back(), folder.File("second ü 日本.mp3"));
  EXPECT_TRUE(std::filesystem::exists(folder.File("second ü 日本.mp3")));

  // A name the system refuses: a folder holds it.
  std::filesystem::create_directories(folder.File("taken.mp3/inside"));
  ModalAnswer error;
  ASSERT_TRUE(Download(folder.File("taken")));
  ASSERT_TRUE(error.Answered());
  EXPECT_EQ(error.text.toStdString(),
            "Не удалось создать файл \"" + folder.File("taken.mp3") + "\". Is a directory.");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.File("")),
                          std::filesystem::directory_iterator()),
            4)
      << "Settings.cfg, first.MP3, the second track and the folder: no temporary file left";
  EXPECT_EQ(files->Paths().size(), 3u);
  EXPECT_TRUE(Find<QPushButton>("Button1")->isEnabled());
  EXPECT_EQ(Caption(), Utf8("Скачивание музыки с портала")) << "not the download before it";

  // A folder that takes no new file fails before the track is fetched.
  const size_t requests = Requests().size();
  ModalAnswer refused;
  ASSERT_TRUE(Download("/proc/track"));
  ASSERT_TRUE(refused.Answered());
  EXPECT_TRUE(refused.text.startsWith(Utf8("Не удалось создать файл \"/proc/track.mp3\". ")))
      << refused.text.toStdString();
  EXPECT_EQ(Requests().size(), requests);

  // A row without its link: the list's error, and the fields stay.
  ClickTitle(0);
  window->ClearLinks();
  ModalAnswer missingLink;
  ClickTitle(1);
  ASSERT_TRUE(missingLink.Answered());
  EXPECT_EQ(missingLink.text, QStringLiteral("List index out of bounds (1)"));
  EXPECT_EQ(Find<QLabel>("Label5")->text(), Utf8("Северный Ветер - Дорога домой"));
  window->SetFoundName(Utf8ToCp1251("Две\r\nстроки\nтри"));
  EXPECT_EQ(Find<QLabel>("Label5")->text(), Utf8("Две строки три")) << "one line";
}

// Qt's dialogs remember one folder for every program of the user. Whatever
// it holds, the save dialog opens in the program's own folder at once.
TEST_F(MainWindowTest, TheSaveDialogOpensInItsOwnFolderWhateverQtRemembers) {
  if (qEnvironmentVariableIsEmpty("MELODROP_PRIVATE_HOME"))
    GTEST_SKIP() << "writes Qt's remembered folder: only in a home of its own";
  const QString home = QDir::homePath();
  QDir(home + "/Music").removeRecursively();  // made by the last case
  const std::string large = folder.File("large");
  std::filesystem::create_directory(large);
  for (int i = 0; i < 5000; ++i) WriteBytes(large + "/" + std::to_string(i) + ".mp3", "");
  const std::string removed = folder.File("removed");
  const auto saves = [&](int i) { return folder.File("saves" + std::to_string(i)); };
  // Each case saves into a fresh folder; the one before may be gone.
  struct Case {
    std::string remembered;
    std::function<void()> before;
    QString expectedFolder;
  };
  const std::vector<Case> cases = {
      {"/proc", [] {}, home},
      {large, [] {}, QString::fromStdString(saves(0))},
      {removed, [&] { std::filesystem::remove_all(saves(1)); }, home},
      {"/proc",
       [&] {
         std::filesystem::remove_all(saves(2));
         QDir(home).mkdir(QStringLiteral("Music"));
       },
       home + "/Music"},
  };
  Start();
  Search(Utf8("дорога"));
  ClickTitle(0);
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.remembered);
    c.before();
    const std::string url =
        QUrl::fromLocalFile(QString::fromStdString(c.remembered)).toString().toStdString();
    WriteBytes(
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString() +
            "/QtProject.conf",
        "[FileDialog]\nhistory=" + url + "\nlastVisited=" + url + "\n");
    const std::string target = saves(static_cast<int>(i));
    std::filesystem::create_directory(target);
    ASSERT_TRUE(Download(target + "/track"));
    EXPECT_EQ(offeredFolder.toStdString(), c.expectedFolder.toStdString());
    EXPECT_EQ(ReadBytes(target + "/track.mp3").size(), 9000u);
  }
}

class SlowTrackTest : public MainWindowTest {
 protected:
  SlowTrackTest() : MainWindowTest(SlowOptions(), SlowCatalogue()) {}
  static PortalOptions SlowOptions() {
    PortalOptions options;
    options.bytesPerSecond = 200000;
    return options;
  }
  static PortalCatalogue SlowCatalogue() {
    PortalCatalogue catalogue;
    catalogue.Add("Slow Train", 2000000);
    catalogue.Add("Slow Boat", 2000000);
    return catalogue;
  }
  void Prepare() {
    Start();
    Search(QStringLiteral("slow"));
    ClickTitle(0);
  }
  std::string target = folder.File("slow");
};

TEST_F(SlowTrackTest, DuringADownloadOtherRequestsAreRefusedAndStopEndsIt) {
  Prepare();
  const size_t requestsBefore = Requests().size() + 1;  // the track
  bool refused = false;
  ModalAnswer anyBox(Qt::Key_Return, 1000);
  const QString captionBefore = Caption();
  bool dialogsOpenedBesideTheTransfer = true;
  // A dialog that held the transfer until closed would be closed here.
  auto closeHeld = [](QDialog* held) {
    return ModalAnswer([](QWidget* dialog) { dialog->close(); }, 3000,
                       [held](QWidget* dialog) { return dialog == held; });
  };
  ModalAnswer heldBySettings = closeHeld(settings.get());
  ModalAnswer heldByAbout = closeHeld(about.get());
  DuringTransfer([&] {
    refused = !Find<QPushButton>("Button1")->isEnabled() && !Item("N2")->isEnabled() &&
              !Item("N5")->isEnabled() && !Item("N12")->isEnabled() && Item("N3")->isEnabled();
    Item("N2")->trigger();
    Item("N5")->trigger();
    QTest::keyClick(window.get(), Qt::Key_D, Qt::ControlModifier);
    for (const char* name : {"N8", "N15"}) {
      Item(name)->trigger();
      QWidget* dialog = QApplication::activeModalWidget();
      dialogsOpenedBesideTheTransfer = dialogsOpenedBesideTheTransfer && dialog != nullptr;
      if (dialog != nullptr) dialog->close();
    }
    Item("N3")->trigger();
  });
  ASSERT_TRUE(Download(target));
  EXPECT_TRUE(refused);
  EXPECT_TRUE(dialogsOpenedBesideTheTransfer);
  EXPECT_FALSE(anyBox.Answered()) << "a stop is no failure";
  EXPECT_FALSE(std::filesystem::exists(target + ".mp3"));
  EXPECT_TRUE(files->Paths().empty());
  EXPECT_EQ(Requests().size(), requestsBefore) << "no search, login or second track";
  EXPECT_TRUE(Find<QPushButton>("Button1")->isEnabled());
  EXPECT_EQ(Caption(), captionBefore);
}

// A pipe chosen as the file (a player's) whose reader goes after a byte
// fails that download with the system's reason; the program goes on.
class LargeTrackTest : public MainWindowTest {
 protected:
  LargeTrackTest() : MainWindowTest({}, LargeCatalogue()) {}
  static PortalCatalogue LargeCatalogue() {
    PortalCatalogue catalogue;
    catalogue.Add("Large", 2000000);  // more than a pipe holds
    return catalogue;
  }
};

TEST_F(LargeTrackTest, APipeWhoseReaderGoesFailsTheDownloadNotTheProgram) {
  std::signal(SIGPIPE, SIG_DFL);  // as a fresh process has it
  SetUpProcessSignals();
  Start();
  Search(QStringLiteral("large"));
  ClickTitle(0);
  const std::string pipe = folder.File("player.mp3");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  // Open before the download, which takes no pipe that nobody reads.
  const int reading = open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reading, 0);
  std::thread reader([reading] {
    pollfd ready{reading, POLLIN, 0};
    char byte;
    if (poll(&ready, 1, kWaitMs) == 1) {
      EXPECT_EQ(read(reading, &byte, 1), 1);
    }
    close(reading);
  });
  ModalAnswer replace(Press(QMessageBox::Yes), kWaitMs, IsReplaceQuestion);
  ModalAnswer refused([](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); }, kWaitMs,
                      [](QWidget* box) { return !IsReplaceQuestion(box) && !IsFileDialog(box); });
  ASSERT_TRUE(Download(pipe));
  ASSERT_TRUE(replace.Answered());
  ASSERT_TRUE(refused.Answered());
  reader.join();
  EXPECT_EQ(refused.text.toStdString(), "Не удалось записать файл \"" + pipe + "\". Broken pipe.");
  EXPECT_TRUE(std::filesystem::is_fifo(pipe));
  EXPECT_TRUE(Find<QPushButton>("Button1")->isEnabled());
}

// The status bar's progress line is never cut: where it would not fit, it
// leaves out the speed and keeps the time left, then its bar; a wider
// window shows all, and the window's own bar covers the wider line.
TEST_F(SlowTrackTest, TheProgressLineFitsTheStatusBarAndGrowsWithTheWindow) {
  Prepare();
  Titles()->setFocus();
  QTest::keyClick(Titles(), Qt::Key_A, Qt::ControlModifier);
  ASSERT_TRUE(DownloadSelectedInto(folder.File("")));
  auto* status = Find<QLabel>("Panel0");
  // A large desktop font, as on a big screen.
  QFont large = status->font();
  large.setPixelSize(16);
  status->setFont(large);
  const auto shows = [&](const QString& part) {
    return QTest::qWaitFor([&] { return status->text().contains(part); }, kWaitMs);
  };
  auto* bar = Find<QProgressBar>("DownloadsBar");
  const auto besideTheBar = [&] {
    const int textLeft = status->contentsRect().left() + status->indent();
    return bar->isVisible() && status->mapTo(window.get(), QPoint(textLeft, 0)).x() >
                                   bar->mapTo(window.get(), QPoint(bar->width(), 0)).x();
  };
  const auto fits = [&] {
    return status->fontMetrics().horizontalAdvance(status->text()) <=
           status->contentsRect().width() - std::max(status->indent(), 0);
  };
  ASSERT_TRUE(shows(Utf8("осталось"))) << status->text().toStdString();
  EXPECT_FALSE(status->text().contains(Utf8("/с"))) << status->text().toStdString();
  EXPECT_FALSE(bar->isVisible()) << "the line goes before the bar";
  EXPECT_TRUE(fits());
  window->resize(window->width() + 300, window->height());
  EXPECT_TRUE(shows(Utf8("/с · осталось"))) << status->text().toStdString();
  EXPECT_TRUE(besideTheBar());
  EXPECT_TRUE(fits());
  EXPECT_GE(Find<QProgressBar>("ProgressBar1")->width(), status->width());
  Item("N16")->trigger();
  EXPECT_TRUE(QTest::qWaitFor([&] { return !Item("N16")->isEnabled(); }, kWaitMs));
  EXPECT_FALSE(bar->isVisible());
}

// A close that comes while the search shows its closing message answers
// the message: it is never held until the box is dismissed.
TEST_F(MainWindowTest, ACloseUnderASearchsMessageClosesTheWindow) {
  Start();
  Find<QLineEdit>("Edit3")->setText(Utf8("дорога"));
  ModalAnswer closeUnderTheBox([this](QWidget*) { window->close(); });
  QTest::keyClick(Find<QLineEdit>("Edit3"), Qt::Key_Return);
  ASSERT_TRUE(closeUnderTheBox.Answered());
  EXPECT_TRUE(QTest::qWaitFor([&] { return closes == 1; }, kWaitMs));
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(MainWindowTest, AFailedLogoutIsShownAndTheWindowClosesAnyway) {
  Start();
  window->SetHttpPort(1);
  {
    ModalAnswer error;
    QTest::keyClick(window.get(), Qt::Key_R, Qt::ControlModifier);
    ASSERT_TRUE(error.Answered());
    EXPECT_EQ(error.text, Utf8("Ошибка подключения: сервер отклонил подключение."));
    EXPECT_EQ(Caption(), Utf8("Нет связи с сервером")) << "not Отключение от сервера...";
  }
  ModalAnswer error;
  window->close();
  ASSERT_TRUE(error.Answered());
  EXPECT_EQ(error.text, Utf8("Ошибка подключения: сервер отклонил подключение."));
  EXPECT_EQ(closes, 1);
}

class NotConnectedTest : public MainWindowTest {
 protected:
  NotConnectedTest() : MainWindowTest(WrongAccount()) {}
  static PortalOptions WrongAccount() {
    PortalOptions options;
    options.password = "another";
    return options;
  }
};

TEST_F(NotConnectedTest, ClosingWhileNotConnectedSendsNoLogout) {
  ModalAnswer failed;
  Start();
  EXPECT_TRUE(failed.Answered());
  EXPECT_EQ(Caption(), Utf8("Ошибка подключения, попробуйте позже"));
  window->close();
  EXPECT_EQ(closes, 1);
  for (const std::string& request : Requests()) EXPECT_NE(request, "GET /cgi-bin/logout");
}

// A stored port the program cannot use is said once, and port 80 used.
TEST_F(MainWindowTest, AStoredPortThatIsNoPortIsSaidOnceAndPort80Used) {
  for (const std::string& port : {std::string("eighty"), std::to_string(Port() + 65536)}) {
    WriteBytes(settingsPath, "[MAIN]\r\nPort=" + port + "\r\n");
    ModalAnswer portNotice;
    ModalAnswer loginFailed(
        [](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); }, kWaitMs,
        [](QWidget* box) {
          return box->findChild<QLabel*>("Text") != nullptr &&
                 box->findChild<QLabel*>("Text")->text().startsWith(Utf8("Ошибка"));
        });
    Start();
    EXPECT_EQ(portNotice.text, Utf8("В файле настроек указан неверный порт (") +
                                   QString::fromStdString(port) + Utf8("), используется порт 80."));
    EXPECT_TRUE(QTest::qWaitFor([&] { return loginFailed.Answered(); }, kWaitMs));
    EXPECT_EQ(loginFailed.text, Utf8("Ошибка подключения, попробуйте позже"));
    EXPECT_EQ(window->Http().Port(), 80);
    // The port set in the settings is tried at once.
    Item("N8")->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowActive(settings.get(), kWaitMs));
    settings->findChild<QLineEdit*>("Edit1")->setText(QString::number(Port()));
    settings->findChild<QPushButton*>("Button1")->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return Caption() == Utf8("Подключено"); }, kWaitMs));
    EXPECT_TRUE(Find<QLineEdit>("Edit3")->isEnabled());
    window.reset();
  }
}

}  // namespace
