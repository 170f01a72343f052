#pragma once
// Where a window stood and how large it was, kept between runs outside the
// settings file: in $XDG_STATE_HOME/melodrop/windows.ini (~/.local/state
// without it). The window system may still place it elsewhere (Wayland
// places every window itself).

#include <QString>
#include <string>

class QWidget;

std::string DefaultWindowPlacesPath();

// Nothing happens when the path is empty, or holds nothing for the key.
// The size and the maximised state, before the window is shown.
void RestoreWindowSize(QWidget& window, const std::string& path, const char* key);
// The place of its client area, once it is shown: before, the window
// manager would take the place for its frame's. Kept or not, the window
// ends within its screen.
void RestoreWindowPosition(QWidget& window, const std::string& path, const char* key);
// The same, done by the window itself when it is first shown, for a window
// that more than one command shows.
void RestorePositionOnFirstShow(QWidget& window, const std::string& path, const char* key);
void KeepWindowPlace(const QWidget& window, const std::string& path, const char* key);
// Moves a window not shown yet beside another, shown one: right of it where
// the screen has room, else left of it, else nowhere. A place kept for the
// window still wins when it is first shown.
void PlaceBeside(QWidget& window, const QWidget& other);

// The folder tracks were last saved in, kept in the same file: the save
// and folder dialogs open there at the next run. "" when none is kept.
QString KeptDownloadFolder(const std::string& path);
void KeepDownloadFolder(const std::string& path, const QString& folder);
