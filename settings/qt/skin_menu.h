#pragma once
// The list of skins for a window's menu bar: the sixteen names, the current
// one checked; a pick selects that skin at once and is reported, so that
// it can be stored (the menu has no "ОК"). The menu shows only while the
// engine is on.

#include <QMenu>
#include <functional>
#include <string>
#include <vector>

class TSkinManager;

class TSkinMenu : public QMenu {
 public:
  explicit TSkinMenu(TSkinManager& skins, QWidget* parent = nullptr);

  // After a pick: the skin's index and name.
  std::function<void(int index, const std::string& name)> OnPicked;

 private:
  void ShowEngineState();

  TSkinManager& skins_;
  std::vector<QAction*> items_;  // in the engine's order
};
