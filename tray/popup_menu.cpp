#include "popup_menu.h"

namespace tray {

TMenuItem& TPopupMenu::Add(std::string caption, std::function<void()> onClick) {
  items_.push_back(TMenuItem{std::move(caption), false, true, true, std::move(onClick)});
  return items_.back();
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::opRemove && component == PopupComponent) PopupComponent = nullptr;
}

}  // namespace tray
