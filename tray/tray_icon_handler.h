#pragma once
// The one hidden window that receives the shell's notices for every tray
// icon of the process and hands each to the icon whose identity it carries.

#include <cstdint>

#include "hidden_window.h"
#include "identity_registry.h"

namespace tray {

class TTrayIcon;

class TTrayIconHandler : public THiddenWindow {
 public:
  using THiddenWindow::THiddenWindow;

  int Count() const { return instances_.Count(); }

 private:
  friend class TTrayIcon;
  LRESULT WindowProcedure(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) override;

  TIdentityRegistry<uint32_t, TTrayIcon> instances_;
};

}  // namespace tray
