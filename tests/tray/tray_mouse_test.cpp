#include "tray_fixture.h"

namespace tray_testing {
namespace {

class MouseTest : public TrayTest {
 protected:
  void SetUp() override {
    TrayTest::SetUp();
    icon = LoadProgramTrayIcon();
    icon->OnMouseDown = [this](TTrayIcon&, TMouseButton button, TShiftState shift, int x, int y) {
      events.push_back("down " + std::to_string(static_cast<int>(button)) + " " +
                       std::to_string(shift) + " " + std::to_string(x) + "," + std::to_string(y));
    };
    icon->OnMouseUp = [this](TTrayIcon&, TMouseButton button, TShiftState shift, int, int) {
      events.push_back("up " + std::to_string(static_cast<int>(button)) + " " +
                       std::to_string(shift));
    };
    platform.log.clear();
  }

  void Click() {
    Notify(*icon, WM_LBUTTONDOWN);
    Notify(*icon, WM_LBUTTONUP);
  }

  void CountClicks() {
    icon->OnClick = [this](TTrayIcon&) { events.push_back("click"); };
  }

  void CountDoubleClicks() {
    icon->OnDblClick = [this](TTrayIcon&) { events.push_back("double"); };
  }

  std::string Line(const std::string& what, HWND window) {
    return what + " " + std::to_string(window);
  }

  std::unique_ptr<TTrayIcon> icon;
  std::vector<std::string> events;
};

TEST_F(MouseTest, TheRightPressOpensTheMenuAtThePointerAndPostsANullMessageAfter) {
  platform.whileMenuShown = [this](TPopupMenu& menu) {
    EXPECT_EQ(menu.PopupComponent, icon.get());
    menu.Items()[0].Click();  // "Выход"
  };
  Notify(*icon, WM_RBUTTONDOWN);

  ASSERT_EQ(platform.menusShown.size(), 1u);
  EXPECT_EQ(platform.menusShown[0].menu, &trayMenu);
  EXPECT_EQ(platform.menusShown[0].at, (TPoint{640, 480}));
  EXPECT_EQ(exitClicks, 1);
  const HWND iconWindow = icon->Data().hWnd;
  const std::vector<std::string> expected = {
      "post " + std::to_string(iconWindow) + " 0x0800 " + std::to_string(icon->Identity()) + " 516",
      "process messages",
      Line("foreground", iconWindow),
      Line("foreground", iconWindow),
      "process messages",
      "popup 640,480",
      "post " + std::to_string(owner) + " 0x0000 0 0"};
  EXPECT_EQ(platform.log, expected);
  EXPECT_EQ(events, std::vector<std::string>{"down 1 16 640,480"});

  Notify(*icon, WM_RBUTTONUP);
  EXPECT_EQ(platform.menusShown.size(), 1u) << "the release opens nothing";

  platform.cursor.reset();
  events.clear();
  Notify(*icon, WM_RBUTTONDOWN);
  EXPECT_EQ(platform.menusShown.size(), 1u) << "no menu where the pointer cannot be read";
  EXPECT_EQ(events, std::vector<std::string>{"down 1 16 0,0"});
}

TEST_F(MouseTest, TheProgramsValuesMakeLeftAndMiddleClicksDoNothingVisible) {
  icon->OnMouseDown = nullptr;
  icon->OnMouseUp = nullptr;
  for (uint32_t notice :
       {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP, WM_MBUTTONDOWN, WM_MBUTTONUP,
        WM_MOUSEMOVE, WM_RBUTTONDBLCLK, 0x7Bu, WM_USER}) {
    Notify(*icon, notice);
  }
  EXPECT_TRUE(platform.menusShown.empty());
  EXPECT_EQ(exitClicks, 0);
  EXPECT_TRUE(platform.Timers().empty());
  EXPECT_EQ(platform.posts.size(), 10u) << "only the notices themselves";
}

// A click comes at the release, unless a double click may follow: then it
// waits for the double-click time, and a double click raises only itself.
TEST_F(MouseTest, ClicksAndDoubleClicks) {
  CountClicks();
  Notify(*icon, WM_LBUTTONDOWN);
  EXPECT_TRUE(platform.Timers().empty());
  Notify(*icon, WM_LBUTTONUP);
  EXPECT_EQ(events, (std::vector<std::string>{"down 0 8 640,480", "click", "up 0 8"}));

  CountDoubleClicks();
  platform.doubleClickTime = 430;
  events.clear();
  Click();
  const auto timers = platform.Timers();
  ASSERT_EQ(timers.size(), 1u);
  EXPECT_EQ(timers.begin()->second, 430u);
  EXPECT_EQ(events, (std::vector<std::string>{"down 0 8 640,480", "up 0 8"}));
  platform.FireTimer(timers.begin()->first);
  EXPECT_EQ(events.back(), "click");
  EXPECT_TRUE(platform.Timers().empty()) << "the tick stops the timer";

  events.clear();
  Click();
  Notify(*icon, WM_LBUTTONDBLCLK);
  Notify(*icon, WM_LBUTTONUP);
  platform.FireTimer(platform.Timers().begin()->first);
  EXPECT_EQ(std::count(events.begin(), events.end(), "double"), 1);
  EXPECT_EQ(std::count(events.begin(), events.end(), "click"), 0);
  events.clear();
  Click();
  platform.FireTimer(platform.Timers().begin()->first);
  EXPECT_EQ(events.back(), "click") << "the tick cleared the double-click flag";

  // Without a platform timer the click comes at the release.
  platform.refuseTimers = true;
  events.clear();
  Click();
  EXPECT_EQ(events, (std::vector<std::string>{"down 0 8 640,480", "click", "up 0 8"}));
}

TEST_F(MouseTest, ADoubleClickClicksTheFirstDefaultItemUnlessTheLeftButtonPopsUp) {
  int defaultClicks = 0;
  trayMenu.Add("second", [&] { defaultClicks += 10; }).Default = true;
  trayMenu.Add("third", [&] { defaultClicks += 100; }).Default = true;
  Notify(*icon, WM_LBUTTONDBLCLK);
  EXPECT_EQ(defaultClicks, 10);

  icon->SetLeftPopup(true);
  Notify(*icon, WM_LBUTTONDBLCLK);
  EXPECT_EQ(defaultClicks, 10);
  Notify(*icon, WM_LBUTTONDOWN);
  EXPECT_EQ(platform.menusShown.size(), 1u) << "the left press opens the menu";
}

TEST_F(MouseTest, WhenDisabledNoMouseNoticeActsButBalloonClicksArrive) {
  CountClicks();
  icon->SetEnabled(false);
  for (uint32_t notice :
       {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MBUTTONDOWN, WM_MOUSEMOVE}) {
    Notify(*icon, notice);
  }
  Notify(*icon, NIN_BALLOONUSERCLICK);
  EXPECT_TRUE(events.empty());
  EXPECT_TRUE(platform.menusShown.empty());
  EXPECT_EQ(balloonClicks, 1);
}

TEST_F(MouseTest, ModifierKeysAndButtonFlagsFillShift) {
  icon->OnMouseMove = [this](TTrayIcon&, TShiftState shift, int x, int y) {
    events.push_back("move " + std::to_string(shift) + " " + std::to_string(x) + "," +
                     std::to_string(y));
  };
  platform.keysDown = {VK_SHIFT, VK_CONTROL};
  platform.cursor = TPoint{-5, 7};
  Notify(*icon, WM_MBUTTONDOWN);
  Notify(*icon, WM_MOUSEMOVE);
  platform.keysDown = {VK_MENU};
  Notify(*icon, WM_MBUTTONUP);
  EXPECT_EQ(events, (std::vector<std::string>{"down 2 37 -5,7", "move 5 -5,7", "up 2 34"}));
}

TEST_F(MouseTest, ANoticeReachesOnlyTheInstanceItNames) {
  TTrayIcon second(environment, std::nullopt);
  TTrayIcon third(environment, std::nullopt);
  std::vector<std::string> clicks;
  icon->OnBalloonHintClick = [&](TTrayIcon&) { clicks.push_back("first"); };
  second.OnBalloonHintClick = [&](TTrayIcon&) { clicks.push_back("second"); };
  third.OnBalloonHintClick = [&](TTrayIcon&) { clicks.push_back("third"); };

  Notify(second, NIN_BALLOONUSERCLICK);
  Notify(third, NIN_BALLOONUSERCLICK);
  Notify(*icon, NIN_BALLOONUSERCLICK);
  EXPECT_EQ(clicks, (std::vector<std::string>{"second", "third", "first"}));

  const uint32_t gone = [&] {
    TTrayIcon fourth(environment, std::nullopt);
    return fourth.Identity();
  }();
  platform.Notify(icon->Data().hWnd, gone, NIN_BALLOONUSERCLICK);
  platform.Notify(icon->Data().hWnd, 0, NIN_BALLOONUSERCLICK);
  EXPECT_EQ(clicks.size(), 3u) << "a notice for an icon that has gone finds nobody";
}

TEST_F(MouseTest, EnterAndExitFollowThePointerOnlyWhenWanted) {
  icon->OnMouseEnter = [this](TTrayIcon&) { events.push_back("enter"); };
  icon->OnMouseExit = [this](TTrayIcon&) { events.push_back("exit"); };
  Notify(*icon, WM_MOUSEMOVE);
  EXPECT_TRUE(events.empty());

  icon->SetWantEnterExitEvents(true);
  const auto timers = platform.Timers();
  ASSERT_EQ(timers.size(), 1u);
  EXPECT_EQ(timers.begin()->second, 20u);
  const uintptr_t exitTimer = timers.begin()->first;

  Notify(*icon, WM_MOUSEMOVE);
  Notify(*icon, WM_MOUSEMOVE);
  platform.FireTimer(exitTimer);
  EXPECT_EQ(events, std::vector<std::string>{"enter"});
  platform.cursor = TPoint{641, 480};
  platform.FireTimer(exitTimer);
  platform.FireTimer(exitTimer);
  EXPECT_EQ(events, (std::vector<std::string>{"enter", "exit"}));

  icon->SetWantEnterExitEvents(false);
  EXPECT_TRUE(platform.Timers().empty());
}

}  // namespace
}  // namespace tray_testing
