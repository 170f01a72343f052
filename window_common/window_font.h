#pragma once
// The windows' font: the desktop's sans-serif at a pixel height, standing
// in for "MS Sans Serif". Where the desktop's face runs wider than that
// one, it is condensed to its width, so that captions fit the controls
// laid out for it.

#include <QFont>

QFont WindowFont(int pixelHeight);
