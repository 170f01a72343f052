#pragma once
// A popup menu as the tray icon sees it: top-level items with a caption, a
// default mark and a click handler. The platform draws it.

#include <functional>
#include <string>
#include <vector>

#include "component.h"

namespace tray {

struct TMenuItem {
  std::string Caption;  // Windows-1251; "&" marks the accelerator
  bool Default = false;
  bool Enabled = true;
  bool Visible = true;
  std::function<void()> OnClick;

  void Click() const {
    if (Enabled && OnClick) OnClick();
  }
};

class TPopupMenu : public TComponent {
 public:
  bool AutoPopup = true;
  // The component that showed the menu last.
  TComponent* PopupComponent = nullptr;

  std::vector<TMenuItem>& Items() { return items_; }
  const std::vector<TMenuItem>& Items() const { return items_; }
  TMenuItem& Add(std::string caption, std::function<void()> onClick);

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  std::vector<TMenuItem> items_;
};

}  // namespace tray
