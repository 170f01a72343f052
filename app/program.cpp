#include "program.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <csignal>

#include "about_window.h"
#include "app_texts.h"
#include "file_list_window.h"
#include "message_boxes.h"
#include "program_resources.h"
#include "program_settings.h"
#include "qt_text.h"
#include "temporary_files.h"
#include "wayland_window_guard.h"
#include "window_places.h"

void SetUpProcessSignals() {
  // A window has no output whose reader could go: a pipe chosen as the file
  // that its reader closes fails that download, not the program.
  std::signal(SIGPIPE, SIG_IGN);
  RemoveTemporaryFilesOnSignals();
}

void SetUpApplication() {
  // The boxes' caption. Not the application's display name: Qt would add
  // that to every window title, and the caption is the status line.
  SetBoxCaption(app_texts::kApplicationTitle);
  // Task bars group the windows under the desktop entry of this id.
  QGuiApplication::setDesktopFileName(QStringLiteral("example.melodrop.Melodrop"));
  // Qt's own dialogs, the save dialog among them, speak the desktop's language.
  auto* qtTexts = new QTranslator(qApp);
  if (qtTexts->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(qtTexts);
  LoadProgramResources();
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/melodrop.png")));
  // The main window's close ends the program, whatever else is open.
  QApplication::setQuitOnLastWindowClosed(false);
}

TProgram::TProgram(const std::string& settingsPath) : windowPlacesPath_(DefaultWindowPlacesPath()) {
  trayPlatform_.SetActivationTokenSink(
      [this](const QString& token) { opener_.UseActivationToken(token); });
  form1_ = std::make_unique<TForm1>(TMainWindowContext{
      settingsPath, TServiceConfig{}, tray_,
      [this](QWidget& window) { return trayPlatform_.RegisterWindow(&window, true); }, opener_,
      windows_, windowPlacesPath_});
  QObject::connect(form1_.get(), &TForm1::Closed, [this] {
    // A list never shown in this run has no place of the user's to keep.
    if (form3_->WasShown()) KeepWindowPlace(*form3_, windowPlacesPath_, "files");
    ended_ = true;
    QCoreApplication::quit();
  });
  form2_ = std::make_unique<TForm2>(settingsPath, form1_->Skins().Engine(), *form1_, form1_.get());
  windows_.settings = form2_.get();
  form3_ = std::make_unique<TForm3>(opener_, form1_.get());
  windows_.files = form3_.get();
  RestoreWindowSize(*form3_, windowPlacesPath_, "files");
  RestorePositionOnFirstShow(*form3_, windowPlacesPath_, "files");
  form4_ = std::make_unique<TForm4>(opener_, form1_.get());
  windows_.about = form4_.get();
}

TProgram::~TProgram() = default;

int RunProgram(int argc, char** argv) {
  QApplication application(argc, argv);
  TWaylandWindowGuard::InstallWhereNeeded(application);
  SetUpApplication();
  TProgram program(DefaultSettingsPath());
  // A close during the creation handler's login ends the program before the loop.
  return program.Ended() ? 0 : QApplication::exec();
}
