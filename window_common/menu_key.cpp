#include "menu_key.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QMenu>
#include <QShortcut>

void OpenContextMenuFromKeyboard(QAbstractItemView& list) {
  for (const QKeySequence& key :
       {QKeySequence(Qt::SHIFT | Qt::Key_F10), QKeySequence(Qt::Key_Menu)}) {
    auto* shortcut = new QShortcut(key, &list, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    QObject::connect(shortcut, &QShortcut::activated, &list, [&list] {
      // In the viewport's coordinates, as a mouse's request is.
      emit list.customContextMenuRequested(list.visualRect(list.currentIndex()).center());
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu == nullptr) return;
      for (QAction* action : menu->actions()) {
        if (action->isVisible() && action->isEnabled() && !action->isSeparator()) {
          menu->setActiveAction(action);
          return;
        }
      }
    });
  }
}
