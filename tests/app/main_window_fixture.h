#pragma once
// A fresh main window per test against an in-process substitute portal,
// with a recording tray platform and a recording opener; the other windows
// are made after it, as at start-up.

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <memory>

#include <gtest/gtest.h>

#include "about_window.h"
#include "cp1251.h"
#include "file_list_window.h"
#include "main_window.h"
#include "open_request.h"
#include "portal_server.h"
#include "program_resources.h"
#include "qt_text.h"
#include "settings/temp_folder.h"
#include "support/modal_answer.h"
#include "support/recording_tray_platform.h"
#include "tray_environment.h"

namespace app_testing {

using namespace testing_support;

constexpr int kWaitMs = 10000;

struct RecordingOpener : TOpenRequests {
  void Open(const std::string& pathOrURL) override { opened.push_back(pathOrURL); }
  std::vector<std::string> opened;
};

inline QString Utf8(const char* text) {
  return QString::fromUtf8(text);
}

class MainWindowTest : public ::testing::Test {
 protected:
  explicit MainWindowTest(PortalOptions options = {}, PortalCatalogue catalogue = Catalogue())
      : portal(std::move(options), std::move(catalogue)) {
    static const bool loaded = (LoadProgramResources(), true);
    (void)loaded;
    WriteBytes(settingsPath, "[MAIN]\r\nPort=" + std::to_string(Port()) + "\r\n");
  }

  static PortalCatalogue Catalogue() {
    PortalCatalogue catalogue;
    catalogue.Add(Utf8ToCp1251("Северный Ветер - Дорога домой"), 9000);
    catalogue.Add(Utf8ToCp1251("Glass Owls - Rock & Roll <live>"), 12000);
    catalogue.Add(Utf8ToCp1251("Северный Ветер - Дорога в облака"), 3000);
    return catalogue;
  }

  int Port() { return portal.Server().Port(); }

  // Starts the program's windows; the start-up notice is answered.
  void Start() {
    ModalAnswer notice;
    window = std::make_unique<TForm1>(
        TMainWindowContext{settingsPath, TServiceConfig{}, trayEnvironment,
                           [this](QWidget&) { return trayPlatform.CreateTopLevelWindow(); }, opener,
                           windows, windowPlacesPath});
    startNotice = notice.text;
    QObject::connect(window.get(), &TForm1::Closed, [this] { ++closes; });
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    settings = std::make_unique<TForm2>(settingsPath, window->Skins().Engine(), *window);
    windows.settings = settings.get();
    files = std::make_unique<TForm3>(opener);
    windows.files = files.get();
    about = std::make_unique<TForm4>(opener);
    windows.about = about.get();
    // What the event loop does first after start-up.
    QCoreApplication::processEvents();
  }

  template <class Control>
  Control* Find(const char* name) {
    auto* control = window->findChild<Control*>(QLatin1String(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  QAction* Item(const char* name) { return Find<QAction>(name); }
  QString Caption() { return window->windowTitle(); }
  QListView* Titles() { return Find<QListView>("ListBox1"); }

  // Searches as with Enter in the search box; returns the closing message.
  QString Search(const QString& phrase) {
    auto* box = Find<QLineEdit>("Edit3");
    box->setText(phrase);
    ModalAnswer message;
    QTest::keyClick(box, Qt::Key_Return);
    return message.text;
  }

  void ClickTitle(int row) {
    QListView* list = Titles();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(row, 0)).center());
  }

  static bool IsFileDialog(QWidget* box) { return qobject_cast<QFileDialog*>(box) != nullptr; }
  static bool IsReplaceQuestion(QWidget* box) {
    return box->objectName() == QLatin1String("ReplaceQuestion");
  }
  static ModalAnswer::Answer Press(QMessageBox::StandardButton button) {
    return [button](QWidget* box) { static_cast<QMessageBox*>(box)->button(button)->click(); };
  }

  // The save dialog's answer: that name, or a cancel when empty. The name
  // and the folder the dialog offered are kept in lastOffered and
  // offeredFolder.
  ModalAnswer::Answer SaveAs(const std::string& path) {
    return [this, path](QWidget* box) {
      auto* dialog = qobject_cast<QFileDialog*>(box);
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(dialog->nameFilters(), QStringList{QStringLiteral("MP3 (*.mp3)")});
      EXPECT_TRUE(dialog->defaultSuffix().isEmpty());
      lastOffered = dialog->selectedFiles().value(0);
      offeredFolder = dialog->directory().absolutePath();
      if (path.empty()) return dialog->reject();
      // Qt's dialog ignores a file selected while its name field has the
      // focus, so the name is typed there, as a user would, once it is active.
      ASSERT_TRUE(QTest::qWaitForWindowActive(dialog, kWaitMs));
      auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      ASSERT_NE(name, nullptr);
      const QString chosen = QString::fromStdString(path);
      name->setText(chosen);
      ASSERT_TRUE(
          QTest::qWaitFor([&] { return dialog->selectedFiles() == QStringList{chosen}; }, kWaitMs));
      QMetaObject::invokeMethod(dialog, "accept");
    };
  }

  // Downloads through the "Скачать" button into that name.
  bool Download(const std::string& path) {
    ModalAnswer saveDialog(SaveAs(path), kWaitMs, IsFileDialog);
    Find<QPushButton>("Button2")->click();
    return saveDialog.Answered();
  }

  // Downloads the selected titles through "Скачать" into that folder.
  bool DownloadSelectedInto(const std::string& folderPath) {
    ModalAnswer folderDialog(
        [&](QWidget* box) {
          ASSERT_TRUE(QTest::qWaitForWindowActive(box, kWaitMs));
          box->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
              ->setText(QString::fromStdString(folderPath));
          QMetaObject::invokeMethod(box, "accept");
        },
        kWaitMs, [](QWidget* box) { return box->objectName() == QLatin1String("FolderDialog1"); });
    Find<QPushButton>("Button2")->click();
    return folderDialog.Answered();
  }

  // Runs `during` once the next transfer has begun to bring bytes, from
  // inside its pumping.
  void DuringTransfer(std::function<void()> during) {
    auto* poll = new QTimer(window.get());
    QObject::connect(poll, &QTimer::timeout, [this, poll, during] {
      const auto* bar = Find<QProgressBar>("ProgressBar1");
      if (!bar->isVisible() || bar->value() <= 0 || !window->RequestRunning()) return;
      poll->stop();
      poll->deleteLater();
      during();
    });
    poll->start(1);
  }

  std::vector<std::string> Requests() {
    std::vector<std::string> lines;
    for (const PortalRequest& request : portal.Server().RequestLog())
      lines.push_back(request.MethodAndTarget());
    return lines;
  }

  // The balloons the tray icon asked the shell for.
  std::vector<const tray::NOTIFYICONDATA*> Balloons() {
    std::vector<const tray::NOTIFYICONDATA*> shown;
    for (const ShellRequest& request : trayPlatform.shellRequests)
      if (request.message == tray::NIM_MODIFY && (request.data.uFlags & tray::NIF_INFO) &&
          request.data.szInfo[0] != '\0')
        shown.push_back(&request.data);
    return shown;
  }

  TempFolder folder;
  std::string settingsPath = folder.File("Settings.cfg");
  BackgroundPortal portal;
  RecordingTrayPlatform trayPlatform;
  tray::TTrayEnvironment trayEnvironment{trayPlatform};
  RecordingOpener opener;
  TProgramWindows windows;
  std::unique_ptr<TForm1> window;
  std::unique_ptr<TForm2> settings;
  std::unique_ptr<TForm3> files;
  std::unique_ptr<TForm4> about;
  QString startNotice;
  QString lastOffered;
  QString offeredFolder;
  int closes = 0;
  std::string windowPlacesPath;  // none kept unless a test asks
};

}  // namespace app_testing
