#include "file_list_window.h"

#include <QFile>
#include <QHelpEvent>
#include <QItemSelection>
#include <QListWidget>
#include <QMenu>
#include <QShortcut>
#include <QToolTip>
#include <algorithm>
#include <numeric>
#include <optional>

#include "anchored_controls.h"
#include "download_progress.h"
#include "file_list_texts.h"
#include "menu_key.h"
#include "message_boxes.h"
#include "open_request.h"
#include "placed_controls.h"
#include "qt_text.h"
#include "selected_rows.h"
#include "window_font.h"
#include "window_places.h"

namespace {

// The folder of a path, up to and including its last "/".
std::string FolderOf(const std::string& path) {
  return path.substr(0, path.rfind('/') + 1);
}

QAction* AddItem(QMenu& menu, const std::string& caption, const char* themeIcon,
                 const char* ownIcon) {
  return menu.addAction(MenuIcon(themeIcon, ownIcon), QStringFromCp1251(caption));
}

}  // namespace

using namespace file_list_texts;

TForm3::TForm3(TOpenRequests& opener, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      opener_(opener) {
  setObjectName(QStringLiteral("Form3"));
  setWindowTitle(QStringFromCp1251(kCaption));
  setFont(WindowFont(11));
  // The list takes a larger window's size.
  setMinimumSize(311, 344);
  resize(minimumSize());
  move(479, 175);
  setModal(false);

  listBox2_ = new QListWidget(this);
  listBox2_->setObjectName(QStringLiteral("ListBox2"));
  NameForScreenReaders(listBox2_, kCaption);
  listBox2_->setGeometry(0, 0, 313, 345);
  (new TAnchoredControls(this, minimumSize()))
      ->Anchor(listBox2_, TAnchoredControls::kStretchWidth | TAnchoredControls::kStretchHeight);
  listBox2_->setUniformItemSizes(true);
  // A long title gives way in its middle: the state at the end of a row
  // ("в очереди", "42%") and a file's ".mp3" stay in sight.
  listBox2_->setTextElideMode(Qt::ElideMiddle);
  // Several rows at once (Shift, Ctrl, Ctrl+A): a batch cut by the network
  // is tried again, or cleared away, in one go.
  listBox2_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  listBox2_->setContextMenuPolicy(Qt::CustomContextMenu);
  CreateMenus();
  connect(listBox2_, &QWidget::customContextMenuRequested, this,
          [this](QPoint at) { popupMenu1_->popup(listBox2_->viewport()->mapToGlobal(at)); });
  OpenContextMenuFromKeyboard(*listBox2_);
  connect(listBox2_, &QListWidget::itemActivated, this, Guarded([this] { ActivateSelected(); }));
  listBox2_->viewport()->installEventFilter(this);
  auto* remove = new QShortcut(QKeySequence::Delete, listBox2_, nullptr, nullptr,
                               Qt::WidgetWithChildrenShortcut);
  connect(remove, &QShortcut::activated, this, Guarded([this] { RemoveSelected(); }));
}

void TForm3::CreateMenus() {
  popupMenu1_ = new QMenu(this);
  popupMenu1_->setObjectName(QStringLiteral("PopupMenu1"));
  playItem_ = AddItem(*popupMenu1_, kPlay, "media-playback-start", "play");
  connect(playItem_, &QAction::triggered, this, Guarded([this] { PlaySelected(); }));
  folderItem_ = AddItem(*popupMenu1_, kOpenFolder, "folder-open", "folder");
  connect(folderItem_, &QAction::triggered, this, Guarded([this] { OpenSelectedFolder(); }));

  connect(AddItem(*popupMenu1_, kRemove, "list-remove", "remove"), &QAction::triggered, this,
          Guarded([this] { RemoveSelected(); }));
  connect(AddItem(*popupMenu1_, kClear, "edit-clear", "clear"), &QAction::triggered, this,
          Guarded([this] { ClearLists(); }));
  // For the rows of downloads still to come, or cut short.
  cancelItem_ = AddItem(*popupMenu1_, kCancel, "process-stop", "stop");
  connect(cancelItem_, &QAction::triggered, this, Guarded([this] { CancelSelected(); }));
  retryItem_ = AddItem(*popupMenu1_, kRetry, "view-refresh", "reconnect");
  connect(retryItem_, &QAction::triggered, this, Guarded([this] { RetrySelected(); }));
  ShowRowCommands();
  connect(popupMenu1_, &QMenu::aboutToShow, this, [this] { ShowRowCommands(); });

  popupMenu2_ = new QMenu(this);
  popupMenu2_->setObjectName(QStringLiteral("PopupMenu2"));
  connect(AddItem(*popupMenu2_, kPlay, "media-playback-start", "play"), &QAction::triggered, this,
          Guarded([this] { PlayNewest(); }));
  connect(AddItem(*popupMenu2_, kOpenFolder, "folder-open", "folder"), &QAction::triggered, this,
          Guarded([this] { OpenNewestFolder(); }));
}

std::vector<std::string> TForm3::BalloonActions() {
  return {kPlay, kOpenFolder};
}

void TForm3::RunBalloonAction(std::size_t index) {
  const QList<QAction*> actions = popupMenu2_->actions();
  if (index < static_cast<std::size_t>(actions.size()))
    actions[static_cast<qsizetype>(index)]->trigger();
}

void TForm3::ShowNewest() {
  if (listBox2_->count() > 0) listBox2_->setCurrentRow(listBox2_->count() - 1);
  show();
  raise();
  activateWindow();
}

void TForm3::ShowFailed(const QWidget& userWindow) {
  // One selection of every run of failed rows: row by row, a batch whose
  // failures lie scattered among thousands would take seconds.
  QItemSelection failed;
  int first = -1;
  for (int row = 0; row < static_cast<int>(rows_.size()); ++row) {
    if (rows_[static_cast<size_t>(row)].state != TDownloadState::kFailed) continue;
    if (first < 0) first = row;
    int last = row;
    while (last + 1 < static_cast<int>(rows_.size()) &&
           rows_[static_cast<size_t>(last) + 1].state == TDownloadState::kFailed)
      ++last;
    failed.select(listBox2_->model()->index(row, 0), listBox2_->model()->index(last, 0));
    row = last;
  }
  listBox2_->selectionModel()->select(failed, QItemSelectionModel::ClearAndSelect);
  if (first >= 0) {
    listBox2_->setCurrentRow(first, QItemSelectionModel::NoUpdate);
    listBox2_->scrollToItem(listBox2_->item(first));
  }
  ShowUnasked(userWindow);
}

void TForm3::ShowUnasked(const QWidget& userWindow) {
  if (!wasShown_) PlaceBeside(*this, userWindow);
  setAttribute(Qt::WA_ShowWithoutActivating, true);
  show();
  raise();
  setAttribute(Qt::WA_ShowWithoutActivating, false);
}

void TForm3::showEvent(QShowEvent* event) {
  wasShown_ = true;
  QDialog::showEvent(event);
}

void TForm3::Add(const std::string& path, const std::string& name) {
  TRow saved;
  saved.path = path;
  rows_.push_back(saved);
  auto* row = new QListWidgetItem(QFile::decodeName(QByteArray::fromStdString(name)));
  row->setSizeHint(QSize(0, 13));
  listBox2_->addItem(row);
  listBox2_->setCurrentRow(listBox2_->count() - 1);
}

void TForm3::AddDownload(uint64_t id, const std::string& title) {
  TRow queued;
  queued.title = title;
  queued.download = id;
  rowOfDownload_[id] = rows_.size();
  rows_.push_back(queued);
  auto* row = new QListWidgetItem();
  row->setSizeHint(QSize(0, 13));
  listBox2_->addItem(row);
  TDownloadStatus status;
  status.id = id;
  ShowDownload(status);
}

void TForm3::IndexDownloadRows() {
  rowOfDownload_.clear();
  for (std::size_t row = 0; row < rows_.size(); ++row)
    if (rows_[row].download != 0) rowOfDownload_[rows_[row].download] = row;
}

void TForm3::ShowDownload(const TDownloadStatus& status) {
  const auto found = rowOfDownload_.find(status.id);
  if (found == rowOfDownload_.end()) return;
  const int index = static_cast<int>(found->second);
  TRow& row = rows_[found->second];
  row.state = status.state;
  // The title as the list shows it, and what became of the download.
  QString text = QStringFromCp1251(row.title);
  const QString dash = QString::fromUtf8(" — ");
  switch (status.state) {
    case TDownloadState::kQueued:
      text += dash + QStringFromCp1251(kQueued);
      break;
    case TDownloadState::kRunning:
      text += dash + (status.total > 0 ? QString("%1%").arg(status.received * 100 / status.total)
                                       : QStringFromCp1251(SizeText(status.received)));
      break;
    case TDownloadState::kFailed:
      text += dash + QStringFromMessage(status.failure);
      break;
    case TDownloadState::kCancelled:
      text += dash + QStringFromCp1251(kCancelled);
      break;
    case TDownloadState::kDone:
      row.path = status.savedPath;
      text = QFile::decodeName(
          QByteArray::fromStdString(status.savedPath.substr(status.savedPath.rfind('/') + 1)));
      break;
  }
  QListWidgetItem* item = listBox2_->item(index);
  item->setText(text);
}

// A row cut off at the window's edge is read whole on hovering: a saved
// file's whole path, else the title and what became of it. Made when asked,
// not kept per row: a batch may list a hundred thousand. Both come from
// outside, so they are plain text, never markup, on one line each.
QString TForm3::RowToolTip(int row) const {
  const std::string& path = rows_[static_cast<size_t>(row)].path;
  const QString whole = path.empty() ? listBox2_->item(row)->text()
                                     : QFile::decodeName(QByteArray::fromStdString(path));
  return Qt::convertFromPlainText(whole);
}

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
  if (watched != listBox2_->viewport() || event->type() != QEvent::ToolTip)
    return QDialog::eventFilter(watched, event);
  const auto* help = static_cast<QHelpEvent*>(event);
  QListWidgetItem* item = listBox2_->itemAt(help->pos());
  if (item == nullptr) {
    QToolTip::hideText();
  } else {
    QToolTip::showText(help->globalPos(), RowToolTip(listBox2_->row(item)), listBox2_->viewport(),
                       listBox2_->visualItemRect(item));
  }
  return true;
}

std::vector<std::string> TForm3::Paths() const {
  std::vector<std::string> paths;
  for (const TRow& row : rows_) paths.push_back(row.path);
  return paths;
}

// The path list's index is a selected row of the name list, the current one
// among several; never the row Qt keeps current after a click on the blank
// area has cleared the selection.
int TForm3::SelectedRow() const {
  const std::vector<int> rows = SelectedRows(*listBox2_);
  if (rows.empty()) return -1;
  const int current = listBox2_->currentRow();
  return std::find(rows.begin(), rows.end(), current) != rows.end() ? current : rows.front();
}

bool TForm3::Pending(int row) const {
  const TDownloadState state = rows_[static_cast<size_t>(row)].state;
  return state == TDownloadState::kQueued || state == TDownloadState::kRunning;
}

bool TForm3::Ended(int row) const {
  const TDownloadState state = rows_[static_cast<size_t>(row)].state;
  return state == TDownloadState::kFailed || state == TDownloadState::kCancelled;
}

// The selected file's path, or nothing when no saved file's row is
// selected (a box says so).
std::optional<std::string> TForm3::SelectedPath() {
  if (SelectedRow() < 0 || rows_[static_cast<size_t>(SelectedRow())].path.empty()) {
    ShowMessage(kNoFileSelected);
    return std::nullopt;
  }
  return rows_[static_cast<size_t>(SelectedRow())].path;
}

// The newest saved file's path, or nothing when the list has none (a box
// says so): a notification may outlive its row.
std::optional<std::string> TForm3::NewestPath() {
  for (auto row = rows_.rbegin(); row != rows_.rend(); ++row)
    if (!row->path.empty()) return row->path;
  ShowMessage(kNoFiles);
  return std::nullopt;
}

void TForm3::PlaySelected() {
  if (const std::optional<std::string> path = SelectedPath()) opener_.Open(*path);
}

void TForm3::OpenSelectedFolder() {
  if (const std::optional<std::string> path = SelectedPath()) opener_.Open(FolderOf(*path));
}

void TForm3::CancelSelected() {
  for (int row : SelectedRows(*listBox2_))
    if (Pending(row) && OnCancel) OnCancel(rows_[static_cast<size_t>(row)].download);
}

// In the order the rows stand, so the queue takes them so.
void TForm3::RetrySelected() {
  for (int row : SelectedRows(*listBox2_))
    if (Ended(row) && OnRetry) OnRetry(rows_[static_cast<size_t>(row)].download);
}

void TForm3::ActivateSelected() {
  const int row = SelectedRow();
  if (row < 0) return;
  if (rows_[static_cast<size_t>(row)].state == TDownloadState::kDone) PlaySelected();
  if (Ended(row)) RetrySelected();
}

void TForm3::ShowRowCommands() {
  const int row = SelectedRow();
  const bool done = row < 0 || rows_[static_cast<size_t>(row)].state == TDownloadState::kDone;
  const std::vector<int> rows = SelectedRows(*listBox2_);
  playItem_->setVisible(done);
  folderItem_->setVisible(done);
  cancelItem_->setVisible(
      std::any_of(rows.begin(), rows.end(), [this](int r) { return Pending(r); }));
  retryItem_->setVisible(std::any_of(rows.begin(), rows.end(), [this](int r) { return Ended(r); }));
}

// The list is made anew of the rows that stay, in one go: taken out one by
// one, thousands of rows would hold the window for seconds. The row where
// the removal began stays current and in sight.
void TForm3::RemoveRows(const std::vector<int>& rows) {
  std::vector<bool> goes(rows_.size());
  int first = -1;
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
    if (Pending(*row)) continue;
    goes[static_cast<size_t>(*row)] = true;
    first = *row;
    const uint64_t download = rows_[static_cast<size_t>(*row)].download;
    if (download != 0 && OnForget) OnForget(download);
  }
  if (first < 0) return;
  std::vector<QListWidgetItem*> staying;
  std::size_t kept = 0;
  for (std::size_t row = 0; row < rows_.size(); ++row) {
    if (goes[row]) continue;
    staying.push_back(listBox2_->item(static_cast<int>(row))->clone());
    if (kept != row) rows_[kept] = std::move(rows_[row]);
    ++kept;
  }
  rows_.resize(kept);
  listBox2_->clear();
  for (QListWidgetItem* item : staying) listBox2_->addItem(item);
  IndexDownloadRows();
  if (listBox2_->count() == 0) return;
  QListWidgetItem* current = listBox2_->item(std::min(first, listBox2_->count() - 1));
  listBox2_->setCurrentItem(current, QItemSelectionModel::NoUpdate);
  listBox2_->scrollToItem(current);
}

// A row goes with its download's partial file; a running one stays.
void TForm3::RemoveSelected() {
  RemoveRows(SelectedRows(*listBox2_));
}

// Every row but those of downloads still to come.
void TForm3::ClearLists() {
  std::vector<int> rows(rows_.size());
  std::iota(rows.begin(), rows.end(), 0);
  RemoveRows(rows);
}

void TForm3::PlayNewest() {
  if (const std::optional<std::string> path = NewestPath()) opener_.Open(*path);
}

void TForm3::OpenNewestFolder() {
  if (const std::optional<std::string> path = NewestPath()) opener_.Open(FolderOf(*path));
}
