#include "program.h"

#include <QApplication>
#include <QIcon>

#include "about_window.h"
#include "app_texts.h"
#include "file_list_window.h"
#include "main_window.h"
#include "open_request.h"
#include "program_resources.h"
#include "program_settings.h"
#include "qt_text.h"
#include "qt_tray_platform.h"
#include "tray_environment.h"

int RunProgram(int argc, char** argv) {
  QApplication application(argc, argv);
  QGuiApplication::setApplicationDisplayName(QStringFromCp1251(app_texts::kApplicationTitle));
  LoadProgramResources();
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/melodrop.png")));
  // The main window's close ends the program, whatever else is open.
  QApplication::setQuitOnLastWindowClosed(false);

  tray::TQtTrayPlatform trayPlatform;
  tray::TTrayEnvironment tray(trayPlatform);
  TDesktopOpenRequests opener;
  TProgramWindows windows;
  const std::string settingsPath = DefaultSettingsPath();
  TForm1 form1({settingsPath, TServiceConfig{}, tray,
                [&](QWidget& window) { return trayPlatform.RegisterWindow(&window, true); }, opener,
                windows});
  bool closed = false;
  QObject::connect(&form1, &TForm1::Closed, &application, [&] {
    closed = true;
    QCoreApplication::quit();
  });
  TForm2 form2(settingsPath, form1.Skins().Engine(), form1, &form1);
  windows.settings = &form2;
  TForm3 form3(opener, &form1);
  windows.files = &form3;
  TForm4 form4(opener, &form1);
  windows.about = &form4;
  return closed ? 0 : QApplication::exec();
}
