#pragma once
// What the settings need of the skin engine: the sixteen built-in skins in
// their order, selection by exact name, and on/off. Drawing the skins
// belongs to the window code.

#include <functional>
#include <string>
#include <vector>

class TSkinEngine {
 public:
  // The built-in skins' names, index 0 first.
  static const std::vector<std::string>& SkinNames();
  // The index of the skin of exactly that name; -1 when it names no skin.
  static int SkinIndexOf(const std::string& name);

  // Selects the skin of exactly that name (letter case counts); an unknown
  // name selects the first built-in skin and makes its name the current one.
  // While the engine is off this only remembers the choice.
  void SelectSkin(const std::string& name);
  const std::string& SkinName() const { return skinName_; }

  // Switching on applies the remembered name.
  void SetActive(bool active);
  bool Active() const { return active_; }

  // Raised after every switch and selection; the window code redraws the
  // application in the current look.
  std::function<void()> OnChange;

 private:
  static const std::string& Resolved(const std::string& name);

  std::string skinName_ = SkinNames().front();
  bool active_ = false;
};
