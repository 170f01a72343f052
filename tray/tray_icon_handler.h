#pragma once
// The one hidden window that receives the shell's notices for every tray
// icon of the process and hands each to the icon whose identity it carries.

#include <cstdint>
#include "identity_registry.h"

#include "tray_platform.h"

namespace tray {

class TTrayIcon;

class TTrayIconHandler {
 public:
  explicit TTrayIconHandler(TTrayPlatform& platform);
  ~TTrayIconHandler();
  TTrayIconHandler(const TTrayIconHandler&) = delete;
  TTrayIconHandler& operator=(const TTrayIconHandler&) = delete;

  HWND Window() const { return window_; }
  int Count() const { return instances_.Count(); }

 private:
  friend class TTrayIcon;
  LRESULT WindowProcedure(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam);

  TTrayPlatform& platform_;
  HWND window_ = 0;
  TIdentityRegistry<uint32_t, TTrayIcon> instances_;
};

}  // namespace tray
