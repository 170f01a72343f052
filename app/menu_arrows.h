#pragma once
// Left and Right in an open menu of the bar lead to the next menu, past a
// command on the bar ("О программе"): highlighted from an open menu, such
// a command takes no keys, and Enter would go to the control that had them
// (the search box would start a search). Alt, then the arrows, still reach
// it, as does its mnemonic.

#include <QObject>

class QMenu;
class QMenuBar;

class TMenuArrows : public QObject {
 public:
  explicit TMenuArrows(QMenuBar& bar);

  // Left and Right in this menu of the bar go to its neighbouring menus.
  void Watch(QMenu& menu);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QMenuBar& bar_;
};
