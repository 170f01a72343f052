#include "tray_timer.h"

#include "tray_environment.h"

namespace tray {

LRESULT TTrayTimerHandler::WindowProcedure(HWND window, uint32_t message, WPARAM wParam,
                                           LPARAM lParam) {
  if (message != WM_TIMER) return platform_.DefWindowProcA(window, message, wParam, lParam);
  // A tick that was already queued when its timer went away finds nobody.
  if (TTrayTimer* timer = timers_.Find(wParam)) timer->Tick();
  return 0;
}

TTrayTimer::TTrayTimer(TTrayEnvironment& environment, uint32_t interval, TTickEvent onTimer)
    : environment_(environment),
      handler_(environment.AcquireTimerHandler()),
      interval_(interval),
      onTimer_(std::move(onTimer)) {
  identity_ = handler_.timers_.Add(*this);
}

TTrayTimer::~TTrayTimer() {
  if (running_) Stop(true);
  handler_.timers_.Remove(identity_);
  environment_.ReleaseTimerHandler();
}

bool TTrayTimer::Start() {
  if (interval_ == 0) return false;
  if (running_) Stop(true);
  const bool started = environment_.Platform().SetTimer(handler_.Window(), identity_, interval_);
  if (started) {
    running_ = true;
    ++handler_.runningCount_;
  }
  return started;
}

void TTrayTimer::Stop(bool clearRunning) {
  if (clearRunning) running_ = false;
  if (environment_.Platform().KillTimer(handler_.Window(), identity_) &&
      handler_.runningCount_ > 0) {
    --handler_.runningCount_;
  }
}

void TTrayTimer::SetEnabled(bool enabled) {
  if (enabled) {
    Start();
  } else {
    Stop(true);
  }
}

void TTrayTimer::SetInterval(uint32_t interval) {
  if (interval == interval_) return;
  interval_ = interval;
  if (!running_) return;
  if (interval_ != 0) {
    Start();
  } else {
    Stop(false);
  }
}

void TTrayTimer::SetOnTimer(TTickEvent onTimer) {
  onTimer_ = std::move(onTimer);
  if (!onTimer_ && running_) Stop(false);
}

void TTrayTimer::Tick() {
  if (AutoStop) Stop(true);
  if (onTimer_) onTimer_(*this);
}

}  // namespace tray
