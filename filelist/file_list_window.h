#pragma once
// TForm3, the downloaded-files window: the files saved during this run,
// played or their folders opened through the desktop. Only in memory.

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

class QListWidget;
class QMenu;
class TOpenRequests;

class TForm3 : public QDialog {
 public:
  explicit TForm3(TOpenRequests& opener, QWidget* parent = nullptr);

  // A saved file: its path (file system encoding) and the name the list
  // shows. Selects the new last row.
  void Add(const std::string& path, const std::string& name);

  // The menu of a balloon click (PopupMenu2): the newest file.
  QMenu& BalloonMenu() { return *popupMenu2_; }
  // The same choices as the captions of a notification's buttons, and the
  // choice at an index made.
  static std::vector<std::string> BalloonActions();
  void RunBalloonAction(std::size_t index);
  // Shows the window with the newest file selected: where no menu can open
  // at the pointer, a balloon click leads here.
  void ShowNewest();
  // The path list (ListBox1), which lies hidden under the name list.
  const std::vector<std::string>& Paths() const { return paths_; }

 private:
  void CreateMenus();
  // The row selected in the name list, or -1.
  int SelectedRow() const;
  std::optional<std::string> SelectedPath();
  std::optional<std::string> NewestPath();
  void PlaySelected();
  void OpenSelectedFolder();
  void RemoveSelected();
  void ClearLists();
  void PlayNewest();
  void OpenNewestFolder();

  TOpenRequests& opener_;
  std::vector<std::string> paths_;
  QListWidget* listBox2_ = nullptr;
  QMenu* popupMenu1_ = nullptr;
  QMenu* popupMenu2_ = nullptr;
};
