#include "tray_icon_handler.h"

#include "tray_icon.h"

namespace tray {

LRESULT TTrayIconHandler::WindowProcedure(HWND window, uint32_t message, WPARAM wParam,
                                          LPARAM lParam) {
  switch (message) {
    case kTrayNotifyMessage:
      // A notice still queued for an icon that has gone finds nobody.
      if (wParam <= UINT32_MAX) {
        if (TTrayIcon* icon = instances_.Find(static_cast<uint32_t>(wParam))) {
          icon->HandleNotice(static_cast<uint32_t>(lParam));
        }
      }
      return 0;
    // Neither a close nor the end of the session takes the window away.
    case WM_DESTROY:
    case WM_CLOSE:
    case WM_QUIT:
    case WM_NCDESTROY:
    case WM_QUERYENDSESSION:
    case WM_ENDSESSION:
      return 1;
    default:
      return platform_.DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace tray
