#pragma once
// What the tray keeps for the whole process: the platform, the shell's
// restart message and the two shared hidden windows with their counts.
// The program makes one at start, before any tray icon or timer, and
// destroys it after them; its end destroys the windows that are left.

#include <cstdint>
#include <memory>
#include <optional>

#include "tray_platform.h"

namespace tray {

class TTrayIconHandler;
class TTrayTimerHandler;

class TTrayEnvironment {
 public:
  // Registers the restart message when the common controls are new enough.
  explicit TTrayEnvironment(TTrayPlatform& platform);
  ~TTrayEnvironment();
  TTrayEnvironment(const TTrayEnvironment&) = delete;
  TTrayEnvironment& operator=(const TTrayEnvironment&) = delete;

  TTrayPlatform& Platform() { return platform_; }
  std::optional<uint32_t> RestartMessage() const { return restartMessage_; }

  // A reference on a shared window: the first one makes it, the last
  // release destroys it.
  TTrayIconHandler& AcquireIconHandler();
  void ReleaseIconHandler();
  TTrayTimerHandler& AcquireTimerHandler();
  void ReleaseTimerHandler();

  // The shared windows while they exist, else null.
  const TTrayIconHandler* IconHandler() const { return iconHandler_.get(); }
  const TTrayTimerHandler* TimerHandler() const { return timerHandler_.get(); }

 private:
  TTrayPlatform& platform_;
  std::optional<uint32_t> restartMessage_;
  std::unique_ptr<TTrayIconHandler> iconHandler_;
  int iconReferences_ = 0;
  std::unique_ptr<TTrayTimerHandler> timerHandler_;
  int timerReferences_ = 0;
};

}  // namespace tray
