#pragma once
// The list of skins for a window's menu bar: the sixteen names, the current
// one checked; a pick selects that skin at once and writes nothing. The
// menu shows only while the engine is on.

#include <QMenu>
#include <vector>

class TSkinManager;

class TSkinMenu : public QMenu {
 public:
  explicit TSkinMenu(TSkinManager& skins, QWidget* parent = nullptr);

 private:
  void ShowEngineState();

  TSkinManager& skins_;
  std::vector<QAction*> items_;  // in the engine's order
};
