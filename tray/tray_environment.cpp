#include "tray_environment.h"

#include "tray_icon_handler.h"
#include "tray_timer.h"

namespace tray {

TTrayEnvironment::TTrayEnvironment(TTrayPlatform& platform) : platform_(platform) {
  const std::optional<uint32_t> version = platform_.CommonControlsVersion();
  if (version && *version >= kRestartMessageVersion) {
    restartMessage_ = platform_.RegisterWindowMessageA("TaskbarCreated");
  }
}

TTrayEnvironment::~TTrayEnvironment() = default;

TTrayIconHandler& TTrayEnvironment::AcquireIconHandler() {
  if (!iconHandler_) iconHandler_ = std::make_unique<TTrayIconHandler>(platform_);
  ++iconReferences_;
  return *iconHandler_;
}

void TTrayEnvironment::ReleaseIconHandler() {
  if (--iconReferences_ == 0) iconHandler_.reset();
}

TTrayTimerHandler& TTrayEnvironment::AcquireTimerHandler() {
  if (!timerHandler_) timerHandler_ = std::make_unique<TTrayTimerHandler>(platform_);
  ++timerReferences_;
  return *timerHandler_;
}

void TTrayEnvironment::ReleaseTimerHandler() {
  if (--timerReferences_ == 0) timerHandler_.reset();
}

}  // namespace tray
