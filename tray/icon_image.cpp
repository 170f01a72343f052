#include "icon_image.h"

namespace tray {

void TIcon::LoadFromBytes(std::string iconFile) {
  iconFile_ = std::move(iconFile);
  if (OnChange) OnChange();
}

void TIcon::Assign(const TIcon& source) {
  LoadFromBytes(source.iconFile_);
}

void TImageList::Add(std::string iconFile) {
  images_.push_back(std::move(iconFile));
}

void TImageList::GetIcon(int index, TIcon& icon) const {
  icon.LoadFromBytes(images_.at(index));
}

}  // namespace tray
