#include "tray_timer.h"
#include "tray_fixture.h"

namespace tray_testing {
namespace {

class TimerTest : public TrayTest {
 protected:
  TTrayTimer::TTickEvent CountTicks() {
    return [this](TTrayTimer&) { ++ticks; };
  }
  int ticks = 0;
};

TEST_F(TimerTest, CyclingWithIntervalZeroCyclesNothing) {
  auto icon = LoadProgramTrayIcon();
  TImageList list;
  list.Add(IconFile({16}, 1));
  list.Add(IconFile({16}, 2));
  icon->SetIconList(&list);
  icon->SetCycleIcons(true);
  EXPECT_TRUE(platform.Timers().empty());
  icon->SetIconList(nullptr);
}

TEST_F(TimerTest, CyclingStepsThroughTheListAndWrapsAround) {
  auto icon = LoadProgramTrayIcon();
  TImageList list;
  for (uint32_t colour : {1u, 2u, 3u}) list.Add(IconFile({16}, colour));
  icon->SetIconList(&list);
  std::vector<int> next;
  icon->OnCycle = [&](TTrayIcon&, int nextIndex) { next.push_back(nextIndex); };
  icon->SetCycleIcons(true);
  icon->SetCycleInterval(250);
  ASSERT_EQ(platform.Timers().size(), 1u);
  const auto [cycleTimer, interval] = *platform.Timers().begin();
  EXPECT_EQ(interval, 250u);

  std::vector<std::string> shown;
  for (int tick = 0; tick < 4; ++tick) {
    platform.FireTimer(cycleTimer);
    shown.push_back(icon->Icon().IconFile());
  }
  EXPECT_EQ(next, (std::vector<int>{1, 2, 0, 1}));
  EXPECT_EQ(shown, (std::vector<std::string>{IconFile({16}, 1), IconFile({16}, 2),
                                             IconFile({16}, 3), IconFile({16}, 1)}));
  icon->SetCycleIcons(false);
  EXPECT_TRUE(platform.Timers().empty());
  icon->SetIconList(nullptr);
}

TEST_F(TimerTest, StartStopAndTheCountsOfTheSharedWindow) {
  auto first = std::make_unique<TTrayTimer>(environment, 100, CountTicks());
  TTrayTimer second(environment, 200, CountTicks());
  EXPECT_NE(first->Identity(), second.Identity());
  const TTrayTimerHandler& handler = *environment.TimerHandler();
  EXPECT_EQ(handler.Count(), 2);

  EXPECT_TRUE(first->Start());
  EXPECT_TRUE(second.Start());
  EXPECT_TRUE(first->Start()) << "a restart";
  EXPECT_EQ(handler.RunningCount(), 2);
  platform.FireTimer(first->Identity());
  platform.FireTimer(second.Identity());
  EXPECT_EQ(ticks, 2);

  const uintptr_t gone = first->Identity();
  first.reset();
  EXPECT_EQ(handler.RunningCount(), 1);
  EXPECT_EQ(handler.Count(), 1);
  platform.SendMessage(handler.Window(), WM_TIMER, gone, 0);
  EXPECT_EQ(ticks, 2) << "a tick for a timer that has gone finds nobody";

  second.SetEnabled(false);
  EXPECT_EQ(handler.RunningCount(), 0);
  EXPECT_FALSE(second.Running());
}

TEST_F(TimerTest, IntervalsAutoStopAndTheTimerWindow) {
  TTrayTimer idle(environment, 0, CountTicks());
  EXPECT_FALSE(idle.Start()) << "an interval of 0 does not start";
  EXPECT_FALSE(idle.Running());
  EXPECT_TRUE(platform.Timers().empty());
  TTrayTimer standard(environment);
  EXPECT_EQ(standard.Interval(), 1000u);
  EXPECT_EQ(platform.SendMessage(environment.TimerHandler()->Window(), WM_CLOSE, 0, 0), 0)
      << "other messages get the default processing";

  TTrayTimer once(environment, 100, CountTicks());
  once.AutoStop = true;
  once.Start();
  platform.FireTimer(once.Identity());
  platform.FireTimer(once.Identity());
  EXPECT_EQ(ticks, 1);
  EXPECT_FALSE(once.Running());

  // An interval change restarts or pauses a running timer.
  TTrayTimer timer(environment, 100, CountTicks());
  timer.Start();
  timer.SetInterval(300);
  EXPECT_EQ(platform.Timers().at(timer.Identity()), 300u);

  timer.SetInterval(0);
  EXPECT_TRUE(platform.Timers().empty());
  EXPECT_TRUE(timer.Running()) << "paused, not stopped";
  timer.SetInterval(50);
  EXPECT_EQ(platform.Timers().at(timer.Identity()), 50u);

  timer.SetOnTimer(nullptr);
  EXPECT_TRUE(platform.Timers().empty());
  EXPECT_TRUE(timer.Running());
}

}  // namespace
}  // namespace tray_testing
