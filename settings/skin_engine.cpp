#include "skin_engine.h"

#include <algorithm>

const std::vector<std::string>& TSkinEngine::SkinNames() {
  static const std::vector<std::string> kNames = {"Snow Leopard (internal)",
                                                  "Beijing Ext (internal)",
                                                  "Calcium (internal)",
                                                  "Cold (internal)",
                                                  "FalloutStyle (internal)",
                                                  "LongHorn (internal)",
                                                  "MacMetal (internal)",
                                                  "MacOS2 (internal)",
                                                  "Neutral3 (internal)",
                                                  "Office2007 Black (internal)",
                                                  "Office2007 Blue (internal)",
                                                  "Pulsar (internal)",
                                                  "Vista (internal)",
                                                  "WLM (internal)",
                                                  "Wood (internal)",
                                                  "XPLuna (internal)"};
  return kNames;
}

int TSkinEngine::SkinIndexOf(const std::string& name) {
  const std::vector<std::string>& names = SkinNames();
  const auto found = std::find(names.begin(), names.end(), name);
  return found != names.end() ? static_cast<int>(found - names.begin()) : -1;
}

const std::string& TSkinEngine::Resolved(const std::string& name) {
  return SkinNames()[static_cast<size_t>(std::max(SkinIndexOf(name), 0))];
}

void TSkinEngine::SelectSkin(const std::string& name) {
  skinName_ = active_ ? Resolved(name) : name;
  if (OnChange) OnChange();
}

void TSkinEngine::SetActive(bool active) {
  active_ = active;
  if (active_) skinName_ = Resolved(skinName_);
  if (OnChange) OnChange();
}
