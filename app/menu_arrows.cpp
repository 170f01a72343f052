#include "menu_arrows.h"

#include <algorithm>

#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

TMenuArrows::TMenuArrows(QMenuBar& bar) : QObject(&bar), bar_(bar) {}

void TMenuArrows::Watch(QMenu& menu) {
  menu.installEventFilter(this);
}

bool TMenuArrows::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key != Qt::Key_Left && key != Qt::Key_Right) return false;
  auto* menu = static_cast<QMenu*>(watched);
  // Right on an item with a submenu opens that submenu.
  if (key == Qt::Key_Right && menu->activeAction() != nullptr && menu->activeAction()->menu())
    return false;
  const QList<QAction*> actions = bar_.actions();
  const qsizetype count = actions.size();
  const qsizetype from = actions.indexOf(menu->menuAction());
  if (from < 0) return false;
  const bool forward = (key == Qt::Key_Right) == (bar_.layoutDirection() == Qt::LeftToRight);
  for (qsizetype step = 1; step < count; ++step) {
    QAction* next = actions[(from + (forward ? step : count - step)) % count];
    QMenu* nextMenu = next->menu();
    if (nextMenu == nullptr || !next->isVisible() || !next->isEnabled()) continue;
    bar_.setActiveAction(next);
    // As the bar's own arrows do: the first item is highlighted.
    const QList<QAction*> items = nextMenu->actions();
    const auto first = std::find_if(items.begin(), items.end(), [](const QAction* item) {
      return !item->isSeparator() && item->isVisible() && item->isEnabled();
    });
    if (first != items.end()) nextMenu->setActiveAction(*first);
    return true;
  }
  return true;
}
