#include "tray_fixture.h"

namespace tray_testing {
namespace {

using BalloonTest = TrayTest;

// "Файл " + title + " успешно загружен"
const std::string kDownloadText =
    "\xD4\xE0\xE9\xEB Track \xF3\xF1\xEF\xE5\xF8\xED\xEE \xE7\xE0\xE3\xF0\xF3\xE6\xE5\xED";

TEST_F(BalloonTest, ABalloonClearsFirstThenGoesOutWithItsFieldsAndTheFlagsReturnTo7) {
  auto icon = LoadProgramTrayIcon();
  const std::size_t before = platform.shellRequests.size();

  EXPECT_TRUE(icon->DisplayBalloonHint("Melodrop Downloader", kDownloadText, bitInfo, 10));

  ASSERT_EQ(RequestMessages(before), (std::vector<uint32_t>{NIM_MODIFY, NIM_MODIFY}));
  const NOTIFYICONDATA& clear = platform.shellRequests[before].data;
  EXPECT_EQ(clear.uFlags, 7u | NIF_INFO);
  EXPECT_EQ(TextField(clear.szInfo), "");
  const NOTIFYICONDATA& balloon = platform.shellRequests[before + 1].data;
  EXPECT_EQ(balloon.uFlags, 0x17u);
  EXPECT_EQ(TextField(balloon.szInfo), kDownloadText);
  EXPECT_EQ(TextField(balloon.szInfoTitle), "Melodrop Downloader");
  EXPECT_EQ(balloon.uTimeout, 10000u);
  EXPECT_EQ(balloon.dwInfoFlags, NIIF_INFO);
  EXPECT_EQ(icon->Data().uFlags, 7u);

  icon->SetHint("tip");
  EXPECT_EQ(LastRequest().data.uFlags, 7u) << "later updates carry no balloon";
}

TEST_F(BalloonTest, FieldsAreCutIconTypesAndTimeOutsMappedAndAClearIsOneUpdate) {
  auto icon = LoadProgramTrayIcon();
  std::string text;
  for (int i = 0; i < 300; ++i) text.push_back(static_cast<char>(0xC0 + i % 64));
  icon->DisplayBalloonHint(std::string(70, 'T'), text, bitNone, 0);
  EXPECT_EQ(TextField(LastRequest().data.szInfo), text.substr(0, 255));
  EXPECT_EQ(TextField(LastRequest().data.szInfoTitle), std::string(63, 'T'));
  EXPECT_EQ(LastRequest().data.szInfo[255], '\0');

  for (const auto& [type, flags] :
       {std::pair{bitNone, NIIF_NONE}, std::pair{bitInfo, NIIF_INFO},
        std::pair{bitWarning, NIIF_WARNING}, std::pair{bitError, NIIF_ERROR}}) {
    icon->DisplayBalloonHint("t", "x", type, 255);
    EXPECT_EQ(LastRequest().data.dwInfoFlags, flags);
    EXPECT_EQ(LastRequest().data.uTimeout, 255000u);
  }

  const std::size_t before = platform.shellRequests.size();
  EXPECT_TRUE(icon->ClearBalloonHint());
  ASSERT_EQ(RequestMessages(before), std::vector<uint32_t>{NIM_MODIFY});
  EXPECT_EQ(LastRequest().data.uFlags & NIF_INFO, NIF_INFO);
  EXPECT_EQ(TextField(LastRequest().data.szInfo), "");
}

TEST_F(BalloonTest, NoBalloonWhileTheIconIsHidden) {
  auto icon = LoadProgramTrayIcon();
  icon->SetIconVisible(false);
  EXPECT_FALSE(icon->DisplayBalloonHint("Melodrop Downloader", kDownloadText, bitInfo, 10));
  EXPECT_FALSE(LastRequest().accepted);
  EXPECT_FALSE(icon->ClearBalloonHint());
  EXPECT_FALSE(icon->IconVisible()) << "a refusal changes no state";
}

TEST_F(BalloonTest, BalloonNoticesRaiseTheirEvents) {
  auto icon = LoadProgramTrayIcon();
  std::vector<std::string> events;
  icon->OnBalloonHintShow = [&](TTrayIcon&) { events.push_back("show"); };
  icon->OnBalloonHintHide = [&](TTrayIcon&) { events.push_back("hide"); };
  icon->OnBalloonHintTimeout = [&](TTrayIcon&) { events.push_back("timeout"); };
  for (uint32_t notice :
       {NIN_BALLOONSHOW, NIN_BALLOONHIDE, NIN_BALLOONTIMEOUT, NIN_BALLOONUSERCLICK}) {
    Notify(*icon, notice);
  }
  EXPECT_EQ(events, (std::vector<std::string>{"show", "hide", "timeout"}));
  EXPECT_EQ(balloonClicks, 1);
}

TEST_F(BalloonTest, ButtonsGoToTheDesktopAndTheirPressesRaiseTheActionEvent) {
  auto icon = LoadProgramTrayIcon();
  const std::pair key{icon->Data().hWnd, icon->Identity()};
  icon->SetBalloonActions({"1", "2", "3", "4", "5", "6", "7", "8", "9"});
  EXPECT_EQ(platform.balloonActions[key].size(), kMaxBalloonActions);
  std::vector<std::size_t> pressed;
  icon->OnBalloonHintAction = [&](TTrayIcon&, std::size_t action) { pressed.push_back(action); };
  for (uint32_t notice : {NIN_BALLOONACTION + 1, NIN_BALLOONACTION,
                          NIN_BALLOONACTION + uint32_t{kMaxBalloonActions}}) {
    Notify(*icon, notice);
  }
  EXPECT_EQ(pressed, (std::vector<std::size_t>{1, 0})) << "past the last button is no action";
  EXPECT_EQ(balloonClicks, 0);

  icon.reset();
  EXPECT_TRUE(platform.balloonActions[key].empty()) << "a gone icon offers no buttons";
}

}  // namespace
}  // namespace tray_testing
