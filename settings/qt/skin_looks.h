#pragma once
// The colours of the sixteen built-in skins.

#include <QPalette>
#include <string>

// The complete palette of a built-in skin; an unknown name gets the first
// skin's. Text and links stand out from what they are drawn on by 4.5:1
// at least, disabled text by 3:1.
QPalette SkinPalette(const std::string& name);

// The edge of boxes, fields and lists: Fusion's (a shade darker than the
// window), made to stand out from the window and the field by 3:1 at least.
QColor EdgeColour(const QPalette& palette);

// The contrast ratio of two colours, from 1 (the same) to 21 (black on
// white), as the accessibility guidelines define it.
double ContrastRatio(const QColor& a, const QColor& b);
