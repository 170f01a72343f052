#pragma once
// Start-up: the application and its title, the main window (whose creation
// handler logs in), then the settings dialog, the downloaded-files window
// and the about window, then the event loop until the main window closes.

#include <memory>
#include <string>

#include "main_window.h"
#include "open_request.h"
#include "qt_tray_platform.h"
#include "tray_environment.h"

class TForm3;
class TForm4;

// What ends the process: a terminating signal removes the temporary files
// of downloads first; a pipe's reader that goes does not end it.
void SetUpProcessSignals();

// The title, the images and the icon of the running QApplication.
void SetUpApplication();

// The program's windows, created in the start-up order, and what they share.
class TProgram {
 public:
  explicit TProgram(const std::string& settingsPath);
  ~TProgram();

  TForm1& MainWindow() { return *form1_; }
  TForm3& FileList() { return *form3_; }
  // The main window has closed: the program is over.
  bool Ended() const { return ended_; }

 private:
  tray::TQtTrayPlatform trayPlatform_;
  tray::TTrayEnvironment tray_{trayPlatform_};
  TDesktopOpenRequests opener_;
  TProgramWindows windows_;
  // Where the windows' sizes and places are kept between runs.
  std::string windowPlacesPath_;
  bool ended_ = false;
  std::unique_ptr<TForm1> form1_;
  std::unique_ptr<TForm2> form2_;
  std::unique_ptr<TForm3> form3_;
  std::unique_ptr<TForm4> form4_;
};

int RunProgram(int argc, char** argv);
