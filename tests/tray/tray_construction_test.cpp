#include <cstring>

#include "tray_fixture.h"
#include "tray_icon_handler.h"
#include "tray_timer.h"

namespace tray_testing {
namespace {

using LoadingTest = TrayTest;

TEST_F(LoadingTest, TheProgramsValuesAddTheIconRefuseTheSecondAddAndSetTheVersion) {
  auto icon = LoadProgramTrayIcon();

  // The image before the add (refused), the add, IconIndex, then the
  // after-loading update, the repeated add and the set-version request.
  EXPECT_EQ(RequestMessages(), (std::vector<uint32_t>{NIM_MODIFY, NIM_ADD, NIM_MODIFY, NIM_MODIFY,
                                                      NIM_ADD, NIM_SETVERSION}));
  std::vector<bool> accepted;
  for (const ShellRequest& request : platform.shellRequests) accepted.push_back(request.accepted);
  EXPECT_EQ(accepted, (std::vector<bool>{false, true, true, true, false, true}));

  const NOTIFYICONDATA& record = LastRequest().data;
  EXPECT_EQ(record.cbSize, 488u);
  EXPECT_EQ(record.hWnd, environment.IconHandler()->Window());
  EXPECT_EQ(record.uID, icon->Identity());
  EXPECT_EQ(record.uFlags, 7u);
  EXPECT_EQ(record.uCallbackMessage, 0x800u);
  EXPECT_NE(record.hIcon, 0u);
  EXPECT_EQ(record.uTimeout, 0u) << "uVersion of the classic behaviour";
  const NOTIFYICONDATA zeroed{};
  EXPECT_EQ(std::memcmp(record.szTip, zeroed.szTip, sizeof record.szTip), 0);
  EXPECT_EQ(std::memcmp(record.szInfo, zeroed.szInfo, sizeof record.szInfo), 0);
  EXPECT_EQ(record.dwState | record.dwStateMask | record.dwInfoFlags, 0u);

  EXPECT_TRUE(icon->IconVisible());
  EXPECT_TRUE(platform.HoldsIcon(record.hWnd, record.uID));
  EXPECT_TRUE(platform.Timers().empty()) << "no timer runs under the stored values";
  EXPECT_TRUE(platform.showMainForm);
  EXPECT_EQ(platform.HookCount(), 1);
}

TEST_F(LoadingTest, TheTipIsTheHintsFirst127BytesOnlyWhenShown) {
  auto icon = LoadProgramTrayIcon();
  icon->SetHint(std::string(200, 'h'));
  EXPECT_EQ(TextField(LastRequest().data.szTip), std::string(127, 'h'));

  icon->SetShowHint(false);
  EXPECT_EQ(TextField(LastRequest().data.szTip), "");
  icon->SetShowHint(true);
  icon->SetHint("");
  const NOTIFYICONDATA zeroed{};
  EXPECT_EQ(std::memcmp(LastRequest().data.szTip, zeroed.szTip, sizeof zeroed.szTip), 0);
}

TEST_F(LoadingTest, AnUnreadableImageLeavesTheHandleNullAndTheIconStillGoesIn) {
  TTrayIcon icon(environment, owner);
  icon.Icon().LoadFromBytes("not an icon file");
  EXPECT_TRUE(icon.AddTrayIcon());
  EXPECT_EQ(LastRequest().data.hIcon, 0u);

  icon.Icon().LoadFromBytes(IconFile({16}));
  const HICON first = LastRequest().data.hIcon;
  EXPECT_NE(first, 0u);
  icon.Icon().LoadFromBytes(IconFile({32}));
  EXPECT_NE(LastRequest().data.hIcon, first);
  EXPECT_EQ(platform.liveIconHandles, std::set<HICON>{LastRequest().data.hIcon})
      << "the handle of a replaced image is released";
}

TEST_F(LoadingTest, IconIndexSelectsAnImageOfTheListOrStaysZeroWithout) {
  auto icon = LoadProgramTrayIcon();
  icon->SetIconIndex(7);
  EXPECT_EQ(icon->IconIndex(), 0);

  auto list = std::make_unique<TImageList>();
  for (uint32_t colour : {0xFF000001u, 0xFF000002u, 0xFF000003u}) list->Add(IconFile({16}, colour));
  icon->SetIconList(list.get());
  icon->SetIconIndex(7);
  EXPECT_EQ(icon->IconIndex(), 2);
  EXPECT_EQ(icon->Icon().IconFile(), IconFile({16}, 0xFF000003u));
  EXPECT_EQ(LastRequest().message, NIM_MODIFY);
  icon->SetIconIndex(-4);
  EXPECT_EQ(icon->IconIndex(), 0);

  TImageList emptyList;
  icon->SetIconList(&emptyList);
  icon->SetIconIndex(3);
  EXPECT_EQ(icon->IconIndex(), 0);

  icon->SetIconList(list.get());
  icon->SetIconIndex(1);
  list.reset();
  EXPECT_EQ(icon->IconList(), nullptr) << "the removal notice clears the reference";
  EXPECT_EQ(icon->IconIndex(), 0);
}

TEST_F(LoadingTest, ADestroyedMenuIsForgottenAndAShellRestartReAddsAVisibleIcon) {
  auto icon = LoadProgramTrayIcon();
  const std::pair key{icon->Data().hWnd, icon->Identity()};
  auto menu = std::make_unique<TPopupMenu>();
  icon->SetPopupMenu(menu.get());
  EXPECT_EQ(platform.sharedMenus[key], menu.get()) << "for a desktop that draws the menu";
  menu.reset();
  EXPECT_EQ(icon->PopupMenu(), nullptr);
  EXPECT_EQ(platform.sharedMenus[key], nullptr);
  platform.Notify(icon->Data().hWnd, icon->Identity(), WM_RBUTTONDOWN);
  EXPECT_TRUE(platform.menusShown.empty());

  ASSERT_TRUE(environment.RestartMessage().has_value());
  platform.RestartShell();
  EXPECT_EQ(LastRequest().message, NIM_ADD);
  EXPECT_TRUE(platform.HoldsIcon(icon->Data().hWnd, icon->Identity()));
  icon->SetIconVisible(false);  // the main window closes
  const std::size_t before = platform.shellRequests.size();
  platform.RestartShell();
  EXPECT_EQ(platform.shellRequests.size(), before);
  EXPECT_FALSE(platform.HoldsIcon(icon->Data().hWnd, icon->Identity()));
}

TEST_F(LoadingTest, OldOrUnreadableCommonControlsRegisterNoRestartMessage) {
  for (std::optional<uint32_t> version :
       {std::optional<uint32_t>((4u << 16) | 70u), std::optional<uint32_t>()}) {
    RecordingTrayPlatform oldShell;
    oldShell.commonControlsVersion = version;
    TTrayEnvironment oldEnvironment(oldShell);
    EXPECT_FALSE(oldEnvironment.RestartMessage().has_value());
  }
  RecordingTrayPlatform shell471;
  shell471.commonControlsVersion = (4u << 16) | 71u;
  EXPECT_TRUE(TTrayEnvironment(shell471).RestartMessage().has_value());
}

TEST_F(LoadingTest, DestructionDeletesOnceMoreAndTakesTheHooksAway) {
  auto icon = LoadProgramTrayIcon();
  icon->SetIconVisible(false);
  const std::size_t before = platform.shellRequests.size();
  const HWND iconWindow = icon->Data().hWnd;

  icon.reset();

  EXPECT_EQ(RequestMessages(before), std::vector<uint32_t>{NIM_DELETE});
  EXPECT_FALSE(LastRequest().accepted);
  EXPECT_EQ(platform.HookCount(), 0);
  EXPECT_TRUE(platform.liveIconHandles.empty());
  EXPECT_EQ(environment.IconHandler(), nullptr);
  EXPECT_EQ(environment.TimerHandler(), nullptr);
  EXPECT_FALSE(platform.HasWindow(iconWindow));
  EXPECT_EQ(trayMenu.PopupComponent, nullptr);

  platform.log.clear();
  platform.SendMessage(owner, WM_SHOWWINDOW, 1, 0);
  EXPECT_EQ(platform.log, std::vector<std::string>{"passed " + std::to_string(owner) + " 0x0018"})
      << "the owner's own procedure is back";
}

TEST_F(LoadingTest, SharedWindowsLiveWhileAnInstanceOrTimerDoes) {
  auto first = std::make_unique<TTrayIcon>(environment, std::nullopt);
  auto second = std::make_unique<TTrayIcon>(environment, std::nullopt);
  EXPECT_EQ(environment.IconHandler()->Count(), 2);
  EXPECT_EQ(environment.TimerHandler()->Count(), 6);
  EXPECT_NE(first->Identity(), second->Identity());
  EXPECT_EQ(first->Data().hWnd, second->Data().hWnd);

  first.reset();
  EXPECT_EQ(environment.IconHandler()->Count(), 1);
  // The shared icon window survives a close and says yes to the session's end.
  const HWND window = second->Data().hWnd;
  for (uint32_t message :
       {WM_CLOSE, WM_DESTROY, WM_QUIT, WM_NCDESTROY, WM_QUERYENDSESSION, WM_ENDSESSION}) {
    EXPECT_EQ(platform.SendMessage(window, message, 0, 0), 1) << message;
  }
  EXPECT_TRUE(platform.HasWindow(window));
  second.reset();
  EXPECT_EQ(environment.IconHandler(), nullptr);
  EXPECT_EQ(environment.TimerHandler(), nullptr);
}

TEST_F(LoadingTest, AStartupHandlerCanAskForAHiddenStart) {
  platform.mainForm = owner;
  TTrayIcon icon(environment, owner);
  icon.OnStartup = [](TTrayIcon&, bool& showMainForm) {
    EXPECT_TRUE(showMainForm);
    showMainForm = false;
  };
  icon.Loaded();
  EXPECT_FALSE(platform.showMainForm);
  EXPECT_FALSE(platform.formVisible.at(owner));
  EXPECT_FALSE(platform.IsWindowVisible(platform.ApplicationWindow()));
}

}  // namespace
}  // namespace tray_testing
