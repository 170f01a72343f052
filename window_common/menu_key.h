#pragma once
// A list's context menu from the keyboard: the menu key, or Shift+F10 as on
// other desktops (many keyboards have no menu key), opens it at the current
// row with its first command ready for Enter.

class QAbstractItemView;

void OpenContextMenuFromKeyboard(QAbstractItemView& list);
