#pragma once
// The colours of the sixteen built-in skins.

#include <QPalette>
#include <string>

// The complete palette of a built-in skin; an unknown name gets the first
// skin's.
QPalette SkinPalette(const std::string& name);
