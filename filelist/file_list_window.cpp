#include "file_list_window.h"

#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <optional>

#include "anchored_controls.h"
#include "file_list_texts.h"
#include "message_boxes.h"
#include "open_request.h"
#include "placed_controls.h"
#include "qt_text.h"
#include "window_font.h"

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
  listBox2_->setContextMenuPolicy(Qt::CustomContextMenu);
  CreateMenus();
  connect(listBox2_, &QWidget::customContextMenuRequested, this,
          [this](QPoint at) { popupMenu1_->popup(listBox2_->viewport()->mapToGlobal(at)); });
}

void TForm3::CreateMenus() {
  popupMenu1_ = new QMenu(this);
  popupMenu1_->setObjectName(QStringLiteral("PopupMenu1"));
  connect(AddItem(*popupMenu1_, kPlay, "media-playback-start", "play"), &QAction::triggered, this,
          Guarded([this] { PlaySelected(); }));
  connect(AddItem(*popupMenu1_, kOpenFolder, "folder-open", "folder"), &QAction::triggered, this,
          Guarded([this] { OpenSelectedFolder(); }));
  connect(AddItem(*popupMenu1_, kRemove, "list-remove", "remove"), &QAction::triggered, this,
          Guarded([this] { RemoveSelected(); }));
  connect(AddItem(*popupMenu1_, kClear, "edit-clear", "clear"), &QAction::triggered, this,
          Guarded([this] { ClearLists(); }));

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

void TForm3::Add(const std::string& path, const std::string& name) {
  paths_.push_back(path);
  auto* row = new QListWidgetItem(QFile::decodeName(QByteArray::fromStdString(name)));
  row->setSizeHint(QSize(0, 13));
  listBox2_->addItem(row);
  listBox2_->setCurrentRow(listBox2_->count() - 1);
}

// The path list's index is the name list's selected row, never the row Qt
// keeps current after a click on the blank area has cleared the selection.
int TForm3::SelectedRow() const {
  const QModelIndexList selected = listBox2_->selectionModel()->selectedRows();
  return selected.isEmpty() ? -1 : selected.constFirst().row();
}

// The selected file's path, or nothing when no row is selected (a box says so).
std::optional<std::string> TForm3::SelectedPath() {
  if (SelectedRow() < 0) {
    ShowMessage(kNoFileSelected);
    return std::nullopt;
  }
  return paths_[static_cast<size_t>(SelectedRow())];
}

// The newest file's path, or nothing when the list is empty (a box says so):
// a notification may outlive its row.
std::optional<std::string> TForm3::NewestPath() {
  if (paths_.empty()) {
    ShowMessage(kNoFiles);
    return std::nullopt;
  }
  return paths_.back();
}

void TForm3::PlaySelected() {
  if (const std::optional<std::string> path = SelectedPath()) opener_.Open(*path);
}

void TForm3::OpenSelectedFolder() {
  if (const std::optional<std::string> path = SelectedPath()) opener_.Open(FolderOf(*path));
}

void TForm3::RemoveSelected() {
  const int row = SelectedRow();
  if (row < 0) return;
  paths_.erase(paths_.begin() + row);
  delete listBox2_->takeItem(row);
  listBox2_->clearSelection();
}

void TForm3::ClearLists() {
  paths_.clear();
  listBox2_->clear();
}

void TForm3::PlayNewest() {
  if (const std::optional<std::string> path = NewestPath()) opener_.Open(*path);
}

void TForm3::OpenNewestFolder() {
  if (const std::optional<std::string> path = NewestPath()) opener_.Open(FolderOf(*path));
}
