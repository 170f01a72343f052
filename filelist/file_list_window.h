#pragma once
// TForm3, the downloaded-files window: the files saved during this run,
// played or their folders opened through the desktop, and the downloads of
// the background queue, newest at the bottom: queued, running, failed or
// cancelled rows until they are done. Only in memory.

#include <QDialog>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "download_queue.h"

class QListWidget;
class QMenu;
class TOpenRequests;

class TForm3 : public QDialog {
 public:
  explicit TForm3(TOpenRequests& opener, QWidget* parent = nullptr);

  // A saved file: its path (file system encoding) and the name the list
  // shows. Selects the new last row.
  void Add(const std::string& path, const std::string& name);
  // A download of the queue, under its title (Windows-1251), and each
  // change of it; a done download's row is a saved file's.
  void AddDownload(uint64_t id, const std::string& title);
  void ShowDownload(const TDownloadStatus& status);
  // What the rows' menu asks of the queue.
  std::function<void(uint64_t id)> OnCancel;
  std::function<void(uint64_t id)> OnRetry;
  std::function<void(uint64_t id)> OnForget;

  // The menu of a balloon click (PopupMenu2): the newest file.
  QMenu& BalloonMenu() { return *popupMenu2_; }
  // The same choices as the captions of a notification's buttons, and the
  // choice at an index made.
  static std::vector<std::string> BalloonActions();
  void RunBalloonAction(std::size_t index);
  // Shows the window with the newest file selected: where no menu can open
  // at the pointer, a balloon click leads here.
  void ShowNewest();
  // Shows the window unasked with every failed download's row selected.
  void ShowFailed(const QWidget& userWindow);
  // Shows the window as the program's doing, not the user's: the keyboard
  // stays in the window the user works in, and the first time the window
  // stands beside that one rather than over it.
  void ShowUnasked(const QWidget& userWindow);
  // The path list (ListBox1), which lies hidden under the name list: ""
  // for a download not yet saved.
  std::vector<std::string> Paths() const;
  // Whether the window has been shown in this run.
  bool WasShown() const { return wasShown_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void CreateMenus();
  // What hovering over a row shows.
  QString RowToolTip(int row) const;
  // The selected row the commands for one file act on, or -1.
  int SelectedRow() const;
  // A download still to come; one failed or cancelled.
  bool Pending(int row) const;
  bool Ended(int row) const;
  // The rows (ascending) that are not pending, with their downloads'
  // partial files.
  void RemoveRows(const std::vector<int>& rows);
  std::optional<std::string> SelectedPath();
  std::optional<std::string> NewestPath();
  void PlaySelected();
  void OpenSelectedFolder();
  void RemoveSelected();
  void ClearLists();
  void PlayNewest();
  void OpenNewestFolder();
  void CancelSelected();
  void RetrySelected();
  // A double-click or Enter: a saved file plays, a failed or cancelled
  // download is tried again.
  void ActivateSelected();
  // The menu offers what the selected rows' states allow.
  void ShowRowCommands();

  struct TRow {
    std::string path;   // "" until saved
    std::string title;  // of a download, Windows-1251
    uint64_t download = 0;
    TDownloadState state = TDownloadState::kDone;
  };
  // After rows went: the others stand higher.
  void IndexDownloadRows();

  TOpenRequests& opener_;
  std::vector<TRow> rows_;
  // Where each download's row stands: a batch of thousands reports often.
  std::unordered_map<uint64_t, std::size_t> rowOfDownload_;
  QListWidget* listBox2_ = nullptr;
  QMenu* popupMenu1_ = nullptr;
  QAction* playItem_ = nullptr;
  QAction* folderItem_ = nullptr;
  QAction* cancelItem_ = nullptr;
  QAction* retryItem_ = nullptr;
  QMenu* popupMenu2_ = nullptr;
  bool wasShown_ = false;
};
