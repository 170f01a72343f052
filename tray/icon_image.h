#pragma once
// The icon image of the tray icon and the image list it can cycle through.
// An image is kept as the bytes of an icon file; the platform makes the
// handle that the shell is given.

#include <functional>
#include <string>
#include <vector>

#include "component.h"

namespace tray {

class TIcon {
 public:
  const std::string& IconFile() const { return iconFile_; }
  bool Empty() const { return iconFile_.empty(); }
  void LoadFromBytes(std::string iconFile);
  void Assign(const TIcon& source);

  // Runs after every change of the image.
  std::function<void()> OnChange;

 private:
  std::string iconFile_;
};

class TImageList : public TComponent {
 public:
  int Count() const { return static_cast<int>(images_.size()); }
  void Add(std::string iconFile);
  // Copies image `index` (0 .. Count() - 1) into the icon.
  void GetIcon(int index, TIcon& icon) const;

 private:
  std::vector<std::string> images_;
};

}  // namespace tray
