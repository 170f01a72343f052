#pragma once
// A hidden message window of the platform whose messages go to the
// derived class, for as long as the object lives.

#include <cstdint>

#include "tray_platform.h"

namespace tray {

class THiddenWindow {
 public:
  explicit THiddenWindow(TTrayPlatform& platform);
  virtual ~THiddenWindow();
  THiddenWindow(const THiddenWindow&) = delete;
  THiddenWindow& operator=(const THiddenWindow&) = delete;

  HWND Window() const { return window_; }

 protected:
  virtual LRESULT WindowProcedure(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) = 0;

  TTrayPlatform& platform_;

 private:
  HWND window_ = 0;
};

}  // namespace tray
