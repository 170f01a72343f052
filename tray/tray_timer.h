#pragma once
// A light repeating timer. All timers share one hidden window, which the
// platform sends their ticks to.

#include <cstdint>
#include <functional>

#include "hidden_window.h"
#include "identity_registry.h"

namespace tray {

class TTrayEnvironment;
class TTrayTimer;

// The shared timer window: made with the first timer object, gone with the last.
class TTrayTimerHandler : public THiddenWindow {
 public:
  using THiddenWindow::THiddenWindow;

  int Count() const { return timers_.Count(); }
  int RunningCount() const { return runningCount_; }

 private:
  friend class TTrayTimer;
  LRESULT WindowProcedure(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) override;

  TIdentityRegistry<uintptr_t, TTrayTimer> timers_;
  int runningCount_ = 0;
};

class TTrayTimer {
 public:
  using TTickEvent = std::function<void(TTrayTimer& sender)>;

  explicit TTrayTimer(TTrayEnvironment& environment, uint32_t interval = 1000,
                      TTickEvent onTimer = {});
  ~TTrayTimer();
  TTrayTimer(const TTrayTimer&) = delete;
  TTrayTimer& operator=(const TTrayTimer&) = delete;

  uintptr_t Identity() const { return identity_; }
  bool Running() const { return running_; }
  uint32_t Interval() const { return interval_; }
  bool AutoStop = false;

  // False when the interval is 0 or the platform gives no timer.
  bool Start();
  void Stop(bool clearRunning);
  // Enabling starts; disabling stops and clears the running flag.
  void SetEnabled(bool enabled);
  void SetInterval(uint32_t interval);
  void SetOnTimer(TTickEvent onTimer);

 private:
  friend class TTrayTimerHandler;
  void Tick();

  TTrayEnvironment& environment_;
  TTrayTimerHandler& handler_;
  uintptr_t identity_ = 0;
  bool running_ = false;
  uint32_t interval_;
  TTickEvent onTimer_;
};

}  // namespace tray
