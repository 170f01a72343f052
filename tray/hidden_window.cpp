#include "hidden_window.h"

namespace tray {

THiddenWindow::THiddenWindow(TTrayPlatform& platform) : platform_(platform) {
  window_ =
      platform_.AllocateHWnd([this](HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
        return WindowProcedure(window, message, wParam, lParam);
      });
}

THiddenWindow::~THiddenWindow() {
  platform_.DeallocateHWnd(window_);
}

}  // namespace tray
