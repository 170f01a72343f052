#include "main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QWindow>
#include <utility>

#include "about_window.h"
#include "app_texts.h"
#include "file_list_window.h"
#include "list_error.h"
#include "message_boxes.h"
#include "open_request.h"
#include "pointer_menus.h"
#include "program_http_settings.h"
#include "qt_text.h"
#include "save_dialog.h"
#include "selected_rows.h"
#include "service_texts.h"
#include "streams.h"
#include "title_list.h"
#include "track_download.h"
#include "track_names.h"
#include "tray_icon.h"
#include "window_font.h"
#include "window_places.h"

using namespace app_texts;

// Marks a network request as running for its lifetime; the last one to end
// lets a close that came meanwhile go ahead.
class TForm1::TRequestScope {
 public:
  explicit TRequestScope(TForm1& window) : window_(window) {
    ++window_.requestsRunning_;
    window_.ShowCommandStates();
  }
  ~TRequestScope() {
    --window_.requestsRunning_;
    window_.ShowCommandStates();
    if (window_.requestsRunning_ > 0) return;
    window_.stopRequested_ = false;
    if (window_.closeRequested_) QTimer::singleShot(0, &window_, &QWidget::close);
  }
  TRequestScope(const TRequestScope&) = delete;
  TRequestScope& operator=(const TRequestScope&) = delete;

 private:
  TForm1& window_;
};

TForm1::TForm1(TMainWindowContext context)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      context_(std::move(context)),
      config_(context_.config),
      settings_(context_.settingsPath),
      session_(http_, *this, config_),
      search_(http_, *this, config_, &session_) {
  setObjectName(QStringLiteral("Form1"));
  SetBoxOwner(this);
  setFont(WindowFont(11));
  move(379, 84);
  ApplyProgramHTTPSettings(http_);
  CreateControls();
  RestoreWindowSize(*this, context_.windowPlacesPath, "main");
  CreateMenus();
  CreateTrayIcon(context_.registerTrayOwner);
  ConnectWorkEvents();

  connect(button1_, &QPushButton::clicked, this, Guarded([this] { StartSearch(); }));
  // "Поиск" is the window's default button.
  connect(edit3_, &QLineEdit::returnPressed, this, [this] {
    if (button1_->isEnabled()) button1_->click();
  });
  // The selected row, not Qt's current one: the list sets a current row of
  // its own when it takes the focus, which the user never picked.
  connect(listBox1_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    const int row = SelectedTitleRow();
    if (row >= 0) RunGuarded([&] { ListBox1Click(row); });
    ShowCommandStates();
  });
  connect(button2_, &QPushButton::clicked, this, Guarded([this] { Button2Click(); }));
  connect(bitBtn1_, &QPushButton::clicked, this, Guarded([this] { Play(); }));
  progressHide_.setSingleShot(true);
  progressHide_.setInterval(kProgressHideDelayMs);
  connect(&progressHide_, &QTimer::timeout, this, [this] {
    if (!progress_.visible) progressBar1_->hide();
  });
  groupBalloon_.setSingleShot(true);
  groupBalloon_.setInterval(kBalloonUpdateMs);
  connect(&groupBalloon_, &QTimer::timeout, this, [this] {
    if (settings_.ShowBalloon())
      trayIcon1_->DisplayBalloonHint(kBalloonTitle, DownloadedBalloons(balloonGroup_),
                                     tray::bitInfo, 10);
  });

  // The dialogs open where tracks were last saved, also in an earlier run.
  if (const QString kept = KeptDownloadFolder(context_.windowPlacesPath); !kept.isEmpty())
    lastSaveName_ = FolderAsLastName(kept);
  RunGuarded([this] { FormCreate(); });
  ShowWindow();
  // A window moved to a screen of another density draws its banner again.
  connect(windowHandle(), &QWindow::screenChanged, this, [this] { ShowBanner(); });
}

TForm1::~TForm1() {
  // The queue's worker uses the client's cookie store; it ends first.
  queue_.reset();
  http_.OnIdle = nullptr;
  http_.OnWorkBegin = nullptr;
  http_.OnWork = nullptr;
  http_.OnWorkEnd = nullptr;
}

void TForm1::FormCreate() {
  const std::optional<int> port = settings_.StoredPort();
  if (!port) ShowMessage(InvalidPortNotice(settings_.PortText()));
  SetHttpPort(port.value_or(settings_keys::kDefaultPortNumber));
  skins_.Engine().SetActive(settings_.Skin());
  skins_.Engine().SelectSkin(settings_.SkinName());
  SetTitleListEnabled(false);
  ShowMessage(kStartNotice);
  PlaceProgressBar();
  label5_->setAutoFillBackground(true);
  label5_->setBackgroundRole(QPalette::Window);
  RunRequest([this] { session_.Connect(); });
  FocusSearchBoxWhenConnected();
}

// Typing goes into the search box once there is a session to search in.
void TForm1::FocusSearchBoxWhenConnected() {
  if (session_.Connected()) edit3_->setFocus();
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (closing_) {
    // A second close while the logout waits gives the logout up.
    closeRequested_ = true;
    http_.Disconnect();
    event->ignore();
    return;
  }
  if ((downloading_ || DownloadsPending()) && !closeConfirmed_) {
    // A close never throws a transfer away unasked. The question leaves
    // the transfer running while it waits.
    AskBeforeClosingDuringDownload();
    event->ignore();
    return;
  }
  if (RequestRunning()) {
    // The running request fails with "Not Connected" and unwinds; the
    // close then goes on. A box the request shows (a search's closing
    // message) would hold it until dismissed: the close answers it.
    closeRequested_ = true;
    http_.Disconnect();
    if (QWidget* box = QApplication::activeModalWidget()) box->close();
    event->ignore();
    return;
  }
  closing_ = true;
  FormClose();
  event->accept();
  emit Closed();
}

void TForm1::AskBeforeClosingDuringDownload() {
  if (closeQuestion_ != nullptr) return closeQuestion_->raise();
  closeQuestion_ = MakeQuestion(this, kCloseDuringDownload);
  connect(closeQuestion_, &QMessageBox::finished, this, [this](int answer) {
    closeQuestion_ = nullptr;
    if (answer != QMessageBox::Yes) return;
    closeConfirmed_ = true;
    close();
  });
  closeQuestion_->open();
}

void TForm1::FormClose() {
  KeepWindowPlace(*this, context_.windowPlacesPath, "main");
  groupBalloon_.stop();
  trayIcon1_->SetIconVisible(false);
  if (!session_.Connected()) return;
  SetCaption(service_texts::kDisconnecting);
  // The program ends even when the logout fails.
  RunRequest([this] { session_.Close(); });
}

TForm1::TRequestEnd TForm1::RunRequest(const std::function<void()>& command) {
  if (RequestRunning()) return TRequestEnd::kRefused;
  std::exception_ptr failure;
  bool stopped = false;
  {
    TRequestScope request(*this);
    try {
      command();
    } catch (...) {
      failure = std::current_exception();
    }
    stopped = stopRequested_ || closeRequested_;
  }
  // A stop or a close the user asked for ends the request without a box.
  if (stopped) return TRequestEnd::kStopped;
  if (failure == nullptr) return TRequestEnd::kDone;
  RunGuarded([&] { std::rethrow_exception(failure); });
  return TRequestEnd::kFailed;
}

void TForm1::StartSearch() {
  if (RequestRunning()) return;
  SetTitleListEnabled(true);
  SetDownloadButtonsEnabled(true);
  fileMenuEnabled_ = true;
  ShowCommandStates();
  // A stopped search keeps its rows and is no lost connection.
  if (RunRequest([this] { search_.Find(); }) == TRequestEnd::kStopped)
    SetCaption(service_texts::kIdle);
  // The first title is selected, so the fields, the selection and a
  // download agree.
  titles_->ShowAdded();
  if (TitleCount() > 0 && SelectedTitleRow() < 0) listBox1_->setCurrentIndex(titles_->index(0, 0));
}

void TForm1::StopSearch() {
  if (RequestRunning()) stopRequested_ = true;
  http_.Disconnect();
}

void TForm1::Reconnect() {
  if (RunRequest([this] { session_.Reconnect(); }) == TRequestEnd::kFailed)
    SetCaption(service_texts::kConnectionLost);
  FocusSearchBoxWhenConnected();
}

void TForm1::ListBox1Click(int row) {
  const std::string& link = ListRow(links_, row);
  SetFoundName(titles_->Titles()[static_cast<size_t>(row)]);
  SetLinkText(link);
}

void TForm1::Button2Click() {
  if (const std::vector<int> rows = SelectedTitleRows(); rows.size() > 1)
    return DownloadSelectedTitles(rows);
  if (RequestRunning()) return;
  selectedTitle_ = ListRow(titles_->Titles(), SelectedTitleRow());
  DownloadSelectedFile();
}

int TForm1::SelectedTitleRow() const {
  const QModelIndexList selected = listBox1_->selectionModel()->selectedRows();
  return selected.isEmpty() ? -1 : selected.constFirst().row();
}

std::vector<int> TForm1::SelectedTitleRows() const {
  return SelectedRows(*listBox1_);
}

void TForm1::DownloadFromMenu() {
  if (const std::vector<int> rows = SelectedTitleRows(); rows.size() > 1)
    return DownloadSelectedTitles(rows);
  if (RequestRunning()) return;
  // The menu announces the title the found-name field shows.
  selectedTitle_ = Cp1251FromQString(label5_->text());
  DownloadSelectedFile();
}

void TForm1::DownloadSelectedFile() {
  const std::optional<std::string> chosen = AskSaveName();
  if (!chosen) return;
  const std::string link = Cp1251FromQString(edit4_->text());
  const std::string path = SavedTrackPath(*chosen);
  // Made now: a folder that takes no new file fails before the download.
  // Whatever fails, the caption tells no download that has ended.
  std::optional<TTrackFile> file;
  RunGuarded([&] { file.emplace(path); });
  if (!file) return SetCaption(service_texts::kIdle);
  const QString captionBefore = windowTitle();
  const TRequestEnd end = RunRequest([&] {
    SetSearchButtonEnabled(false);
    SetCaption(kDownloading);
    struct SearchButtonBack {
      TForm1& window;
      ~SearchButtonBack() {
        window.SetSearchButtonEnabled(true);
        window.downloading_ = false;
      }
    } searchButtonBack{*this};
    downloading_ = true;
    file->Receive(http_, link);
    ProcessMessages();
    SetCaption(kDownloaded);
    // The list shows the name as chosen, unless a memory card refused it.
    const std::string& saved = file->Path() == path ? *chosen : file->Path();
    if (context_.windows.files)
      context_.windows.files->Add(file->Path(), saved.substr(saved.rfind('/') + 1));
    if (settings_.ShowBalloon())
      trayIcon1_->DisplayBalloonHint(kBalloonTitle, DownloadedBalloon(selectedTitle_),
                                     tray::bitInfo, 10);
  });
  // A stopped download leaves the window as it was.
  if (end == TRequestEnd::kStopped) setWindowTitle(captionBefore);
  if (end == TRequestEnd::kFailed) SetCaption(service_texts::kIdle);
}

std::optional<std::string> TForm1::AskSaveName() {
  // The title as a file name, offered in the folder of the last one.
  const std::optional<QString> chosen = RunSaveDialog(
      this, lastSaveName_,
      QFile::decodeName(QByteArray::fromStdString(SafeTrackFileName(selectedTitle_))));
  if (!chosen) return std::nullopt;
  lastSaveName_ = *chosen;
  KeepDownloadFolder(context_.windowPlacesPath, QFileInfo(*chosen).absolutePath());
  // The path keeps the file system's encoding, whatever the name holds.
  return QFile::encodeName(lastSaveName_).toStdString();
}

void TForm1::CopyLink() {
  edit4_->selectAll();
  edit4_->copy();
}

void TForm1::Play() {
  context_.opener.Open(PlayerURL(config_, Cp1251FromQString(edit4_->text())));
}

void TForm1::Image1Click() {
  context_.opener.Open(kForumURL);
}

// The other windows are made once the creation handler's login has ended;
// the commands that show them wait for them until then.

void TForm1::ShowFileList() {
  if (!context_.windows.files) return;
  context_.windows.files->show();
  context_.windows.files->raise();
}

// Modal without a loop of its own: a dialog opened during a request would
// otherwise hold the request's transfer until it is closed.
static void ShowModal(QDialog& dialog) {
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.show();
  dialog.raise();
  dialog.activateWindow();
}

void TForm1::ShowSettings() {
  QDialog* dialog = context_.windows.settings;
  if (!dialog) return;
  // A port set because the portal could not be reached is tried at once.
  connect(
      dialog, &QDialog::finished, this,
      [this, portBefore = config_.port] {
        if (config_.port != portBefore && !session_.Connected() && !RequestRunning()) Reconnect();
      },
      Qt::SingleShotConnection);
  ShowModal(*dialog);
}

void TForm1::ShowAbout() {
  if (context_.windows.about) ShowModal(*context_.windows.about);
}

void TForm1::TrayIcon1BalloonHintClick() {
  if (!context_.windows.files) return;
  if (!tray::MenusOpenAtThePointer()) {
    context_.windows.files->ShowNewest();
    return;
  }
  const QPoint cursor = QCursor::pos();
  context_.windows.files->BalloonMenu().popup(QPoint(cursor.x() - 100, cursor.y() + 50));
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == listBox1_ && event->type() == QEvent::KeyPress) {
    // Tab makes a row current without selecting it; the first Down or Up
    // then selects that row instead of skipping it.
    const int key = static_cast<QKeyEvent*>(event)->key();
    if ((key == Qt::Key_Down || key == Qt::Key_Up) && SelectedTitleRow() < 0 &&
        listBox1_->currentIndex().isValid()) {
      listBox1_->selectionModel()->select(listBox1_->currentIndex(),
                                          QItemSelectionModel::ClearAndSelect);
      return true;
    }
  }
  if (event->type() == QEvent::MouseButtonRelease) {
    if (watched == image1_) RunGuarded([this] { Image1Click(); });
    if (watched == edit4_) edit4_->selectAll();
  }
  return QMainWindow::eventFilter(watched, event);
}

// What the service drives.

void TForm1::SetCaption(const std::string& caption) {
  setWindowTitle(QStringFromCp1251(caption));
}

void TForm1::ShowWindow() {
  show();
  raise();
  // Where it stood when it was last closed, once its frame is known.
  if (std::exchange(placedAsBefore_, true)) return;
  RestoreWindowPosition(*this, context_.windowPlacesPath, "main");
}

void TForm1::ShowMessage(const std::string& text) {
  // A request that the user stopped, or whose window closes, unwinds
  // without boxes.
  if (!closeRequested_ && !stopRequested_) ::ShowMessage(text);
}

void TForm1::ProcessMessages() {
  // Every few milliseconds is enough to stay responsive; pumping after each
  // received block or scraped row would repaint the window thousands of
  // times a second.
  if (sincePump_.isValid() && sincePump_.elapsed() < kPumpIntervalMs) return;
  QCoreApplication::processEvents();
  sincePump_.start();
}

std::string TForm1::SearchText() const {
  return Cp1251FromQString(edit3_->text());
}

void TForm1::SetSearchBoxEnabled(bool enabled) {
  edit3_->setEnabled(enabled);
}

void TForm1::SetSearchButtonEnabled(bool enabled) {
  searchButtonEnabled_ = enabled;
  ShowCommandStates();
}

void TForm1::SetLinkFieldEnabled(bool enabled) {
  edit4_->setEnabled(enabled);
}

void TForm1::SetLinkText(const std::string& link) {
  edit4_->setText(QStringFromCp1251(link));
}

void TForm1::SetFoundName(const std::string& title) {
  // One line, whatever line breaks the title holds.
  const QString shown = QStringFromCp1251(title).replace(
      QRegularExpression(QStringLiteral("\r\n|\r|\n")), QStringLiteral(" "));
  label5_->setText(shown);
  label5_->setAccessibleDescription(shown);
  // The field clips a long title: its tooltip shows it whole, as plain text.
  const QString hint = QStringFromCp1251(kFoundNameHint);
  label5_->setToolTip(
      title.empty() ? hint : Qt::convertFromPlainText(QStringFromCp1251(title) + '\n' + hint));
}

void TForm1::SetTitleListEnabled(bool enabled) {
  listBox1_->setEnabled(enabled);
}

void TForm1::SetDownloadButtonsEnabled(bool enabled) {
  downloadButtonsEnabled_ = enabled;
  ShowCommandStates();
}

void TForm1::ClearTitles() {
  titles_->Clear();
  ShowCommandStates();
}

void TForm1::AddTitle(const std::string& title) {
  titles_->Add(title);
  if (TitleCount() == 1) ShowCommandStates();
}

int TForm1::TitleCount() const {
  return static_cast<int>(titles_->Titles().size());
}

std::string TForm1::Title(int row) const {
  return ListRow(titles_->Titles(), row);
}

void TForm1::ClearLinks() {
  links_.clear();
}

void TForm1::AddLink(const std::string& link) {
  links_.push_back(link);
}

int TForm1::LinkCount() const {
  return static_cast<int>(links_.size());
}

std::string TForm1::Link(int row) const {
  return ListRow(links_, row);
}

void TForm1::SetHttpPort(int port) {
  http_.SetPort(port);
  config_.port = port;
}

void TForm1::ClearBalloonHint() {
  trayIcon1_->ClearBalloonHint();
}
