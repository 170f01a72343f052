// The application-window hook and the owner-window hook.
#include "tray_fixture.h"

namespace tray_testing {
namespace {

class WindowHooksTest : public TrayTest {
 protected:
  void SetUp() override {
    TrayTest::SetUp();
    platform.mainForm = owner;
    icon = LoadProgramTrayIcon();
    platform.log.clear();
  }

  std::string Passed(uint32_t message) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%04X", message);
    return "passed " + std::to_string(owner) + " " + hex;
  }

  void MinimizeToTrayWithHandler() {
    icon->SetMinimizeToTray(true);
    icon->OnMinimizeToTray = [this](TTrayIcon&) { ++minimizeEvents; };
    icon->SetIconVisible(false);
  }

  std::unique_ptr<TTrayIcon> icon;
  int minimizeEvents = 0;
};

TEST_F(WindowHooksTest, AMinimiseGoesToTheTrayOnlyWithTheOptionAndAHandler) {
  platform.SendMessage(owner, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_EQ(platform.log, std::vector<std::string>{Passed(WM_SYSCOMMAND)});

  MinimizeToTrayWithHandler();
  platform.log.clear();
  EXPECT_EQ(platform.SendMessage(owner, WM_SYSCOMMAND, SC_MINIMIZE, 0), 1);
  EXPECT_EQ(minimizeEvents, 1);
  EXPECT_FALSE(platform.formVisible.at(owner));
  EXPECT_FALSE(platform.IsWindowVisible(platform.ApplicationWindow()));
  EXPECT_TRUE(icon->IconVisible());
  EXPECT_EQ(LastRequest().message, NIM_ADD);
  EXPECT_EQ(std::count(platform.log.begin(), platform.log.end(), Passed(WM_SYSCOMMAND)), 0);

  platform.SendMessage(owner, WM_SYSCOMMAND, SC_MINIMIZE + 1, 0);
  EXPECT_EQ(minimizeEvents, 1) << "only the exact minimise command";
}

TEST_F(WindowHooksTest, AParentClosingGoesToTheTrayUnlessTheApplicationIsEnding) {
  MinimizeToTrayWithHandler();
  EXPECT_EQ(platform.SendMessage(owner, WM_SHOWWINDOW, 0, SW_PARENTCLOSING), 1);
  EXPECT_EQ(minimizeEvents, 1);

  platform.terminating = true;
  platform.log.clear();
  platform.SendMessage(owner, WM_SHOWWINDOW, 0, SW_PARENTCLOSING);
  EXPECT_EQ(minimizeEvents, 1);
  EXPECT_EQ(platform.log, std::vector<std::string>{Passed(WM_SHOWWINDOW)});
}

TEST_F(WindowHooksTest, TheApplicationWindowsMinimiseGoesToTheTrayWithTheOptionAlone) {
  platform.SendToApplicationWindow(WM_SIZE, SIZE_MINIMIZED, 0);
  EXPECT_TRUE(platform.formVisible.empty());

  icon->SetMinimizeToTray(true);
  icon->SetIconVisible(false);
  platform.SendToApplicationWindow(WM_SIZE, SIZE_MINIMIZED, 0);
  EXPECT_FALSE(platform.formVisible.at(owner));
  EXPECT_TRUE(icon->IconVisible());
  EXPECT_EQ(platform.log.back(),
            "passed " + std::to_string(platform.ApplicationWindow()) + " 0x0005")
      << "the hook lets every message pass";
}

TEST_F(WindowHooksTest, ShowingTheOwnerBringsItForwardAndARestoreShowsItAsNormal) {
  EXPECT_EQ(platform.SendMessage(owner, WM_SHOWWINDOW, 1, 0), 0);
  EXPECT_EQ(platform.log, (std::vector<std::string>{
                              "foreground " + std::to_string(platform.ApplicationWindow()),
                              "foreground " + std::to_string(owner), Passed(WM_SHOWWINDOW)}));
  platform.log.clear();
  platform.mainFormMinimized = true;
  platform.SendToApplicationWindow(WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_FALSE(platform.mainFormMinimized);
  EXPECT_TRUE(platform.formVisible.at(owner));
  EXPECT_EQ(platform.log[0], "normal " + std::to_string(owner));
}

TEST_F(WindowHooksTest, OnlyAMultipleDocumentFrameAsksTheStartupHandlerAtItsFirstReposition) {
  int startups = 0;
  icon->OnStartup = [&](TTrayIcon&, bool& show) {
    ++startups;
    show = false;
  };
  platform.SendToApplicationWindow(WM_WINDOWPOSCHANGED, 0, 0);
  EXPECT_EQ(startups, 0);

  TTrayIcon frameIcon(environment, owner);
  frameIcon.OnStartup = icon->OnStartup;
  platform.mainFormIsMultipleDocumentFrame = true;
  platform.SendToApplicationWindow(WM_WINDOWPOSCHANGED, 0, 0);
  platform.SendToApplicationWindow(WM_WINDOWPOSCHANGED, 0, 0);
  EXPECT_EQ(startups, 1);
  EXPECT_FALSE(platform.IsWindowVisible(platform.ApplicationWindow()));
}

}  // namespace
}  // namespace tray_testing
