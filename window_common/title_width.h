#pragma once
// The width a window needs to show its whole title in its title bar. A
// window manager's bar (X11) writes the title bold beside the icon and the
// buttons; the bar Qt draws itself on a Wayland desktop that draws none
// (GNOME) centres it, in the application's font a little larger, and cuts
// it where it meets the icon or the buttons.

class QFont;
class QString;

// The frame's width, borders included, for the title in a window of that font.
int WidthForTitle(const QString& title, const QFont& windowFont);
