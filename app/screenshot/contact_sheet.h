#pragma once
// Pictures of windows for the README: a window under a title bar, and
// many of them on one contact sheet.

#include <QPixmap>
#include <QString>
#include <vector>

class QWidget;

// The window as a desktop frames it: under a title bar in the highlight
// colours of the palette in use.
QPixmap Framed(QWidget& window);

// The pictures in rows of four, each with its name below.
QPixmap ContactSheet(const std::vector<QPixmap>& pictures, const std::vector<QString>& names);
