#pragma once
// A tray icon loaded as the main window loads TrayIcon1, on the recording
// platform.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/recording_tray_platform.h"
#include "tray_environment.h"
#include "tray_icon.h"

namespace tray_testing {

using namespace tray;
using testing_support::IconFile;
using testing_support::RecordingTrayPlatform;
using testing_support::ShellRequest;

class TrayTest : public ::testing::Test {
 protected:
  // Construction, then the stored values in their stored order, then the
  // after-loading step.
  std::unique_ptr<TTrayIcon> LoadProgramTrayIcon() {
    auto icon = std::make_unique<TTrayIcon>(environment, owner);
    icon->SetCycleInterval(0);
    TIcon image;
    image.LoadFromBytes(IconFile({32, 16}));
    icon->SetIcon(image);
    icon->SetIconVisible(true);
    icon->SetIconIndex(0);
    icon->SetPopupMenu(&trayMenu);
    icon->OnBalloonHintClick = [this](TTrayIcon&) { ++balloonClicks; };
    icon->Loaded();
    return icon;
  }

  void Notify(const TTrayIcon& icon, uint32_t notice) {
    platform.Notify(icon.Data().hWnd, icon.Identity(), notice);
  }

  std::vector<uint32_t> RequestMessages(std::size_t from = 0) const {
    std::vector<uint32_t> messages;
    for (std::size_t i = from; i < platform.shellRequests.size(); ++i) {
      messages.push_back(platform.shellRequests[i].message);
    }
    return messages;
  }

  const ShellRequest& LastRequest() const { return platform.shellRequests.back(); }

  RecordingTrayPlatform platform;
  TTrayEnvironment environment{platform};
  HWND owner = platform.CreateTopLevelWindow();
  TPopupMenu trayMenu;
  int balloonClicks = 0;
  int exitClicks = 0;

  void SetUp() override {
    trayMenu.Add("\xC2\xFB\xF5\xEE\xE4", [this] { ++exitClicks; });  // "Выход"
    platform.cursor = TPoint{640, 480};
  }
};

}  // namespace tray_testing
