#pragma once
// TForm1, the main window: the search box, the found title and its link,
// the title list, the menus, the progress bar in the status bar and the
// tray icon. It owns the HTTP client, the portal session, the search, the
// skin manager and the tray icon, and routes every command.

#include <QElapsedTimer>
#include <QMainWindow>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "catalogue_search.h"
#include "download_progress.h"
#include "download_queue.h"
#include "http_client.h"
#include "main_window_view.h"
#include "popup_menu.h"
#include "portal_session.h"
#include "program_settings.h"
#include "service_config.h"
#include "settings_dialog.h"
#include "skin_manager.h"
#include "tray_platform.h"

class QAction;
class QLabel;
class QLineEdit;
class QListView;
class QProgressBar;
class QPushButton;
class QStatusBar;
class TForm3;
class TForm4;
class TOpenRequests;
class TTitleListModel;
namespace tray {
class TTrayEnvironment;
class TTrayIcon;
}  // namespace tray

// The windows created after the main window, which its commands show.
struct TProgramWindows {
  TForm2* settings = nullptr;
  TForm3* files = nullptr;
  TForm4* about = nullptr;
};

// What the main window works with.
struct TMainWindowContext {
  std::string settingsPath;
  // Hosts and account; the port comes from the settings.
  TServiceConfig config;
  tray::TTrayEnvironment& tray;
  // Gives the window a handle that can own a tray icon.
  std::function<tray::HWND(QWidget& window)> registerTrayOwner;
  TOpenRequests& opener;
  TProgramWindows& windows;
  // Where the window's size and place are kept between runs; "" keeps none.
  std::string windowPlacesPath = {};
};

class TForm1 : public QMainWindow, public TMainWindowView, public TSettingsDialogHost {
  Q_OBJECT

 public:
  // Runs the creation handler: settings, skins, the start-up notice and
  // the login. An exception there is shown, ends the handler, and the
  // window is still created and shown.
  explicit TForm1(TMainWindowContext context);
  ~TForm1() override;

  TSkinManager& Skins() { return skins_; }
  // The window's one HTTP client.
  TNetHTTP& Http() { return http_; }
  bool Connected() const { return session_.Connected(); }
  // Whether a network request is running (commands that would start
  // another are refused meanwhile).
  bool RequestRunning() const { return requestsRunning_ > 0; }
  // The background downloads, made at the first; the list of downloads
  // shows the rows added to it.
  TDownloadQueue& Queue();

  // TMainWindowView
  void SetCaption(const std::string& caption) override;
  void ShowWindow() override;
  void ShowMessage(const std::string& text) override;
  void ProcessMessages() override;
  std::string SearchText() const override;
  void SetSearchBoxEnabled(bool enabled) override;
  void SetSearchButtonEnabled(bool enabled) override;
  void SetLinkFieldEnabled(bool enabled) override;
  void SetLinkText(const std::string& link) override;
  void SetFoundName(const std::string& title) override;
  void SetTitleListEnabled(bool enabled) override;
  void SetDownloadButtonsEnabled(bool enabled) override;
  void ClearTitles() override;
  void AddTitle(const std::string& title) override;
  int TitleCount() const override;
  std::string Title(int row) const override;
  void ClearLinks() override;
  void AddLink(const std::string& link) override;
  int LinkCount() const override;
  std::string Link(int row) const override;

  // TSettingsDialogHost
  void SetHttpPort(int port) override;
  void ClearBalloonHint() override;

 signals:
  // The window has closed: the program ends.
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  class TRequestScope;

  // Building (main_window_layout.cpp).
  void CreateControls();
  void CreateMenus();
  void CreateTrayIcon(const std::function<tray::HWND(QWidget&)>& registerTrayOwner);
  void ConnectWorkEvents();
  // The progress bar's state from the work events, shown when the
  // window's messages run.
  // In bytes; the bar scales them into its int range.
  struct TProgress {
    bool visible = false;
    int64_t maximum = 0;
    int64_t value = 0;
  };
  void SetProgress(TProgress progress);
  void ShowProgress();
  void PlaceProgressBar();
  // The running background download's bar, the progress line beside it.
  void ShowDownloadsBar(int64_t received, int64_t total);
  void HideDownloadsBar();
  void ShowListenGlyph();
  void ShowBanner();
  // Shows the guarded commands enabled only while no request runs.
  void ShowCommandStates();

  // Handlers (main_window.cpp).
  void FormCreate();
  void FormClose();
  void AskBeforeClosingDuringDownload();
  void FocusSearchBoxWhenConnected();
  void StartSearch();
  void StopSearch();
  void Reconnect();
  void ListBox1Click(int row);
  // The list's ItemIndex: its selected row, or -1.
  int SelectedTitleRow() const;
  // Every selected row, in the list's order.
  std::vector<int> SelectedTitleRows() const;
  void Button2Click();
  void DownloadFromMenu();
  void DownloadSelectedFile();
  void CopyLink();
  void Play();
  void Image1Click();
  void ShowFileList();
  void ShowSettings();
  void ShowAbout();
  void TrayIcon1BalloonHintClick();

  // Background downloads (main_window_downloads.cpp).
  // Several titles: into one folder, through the background queue.
  void DownloadSelectedTitles(const std::vector<int>& rows);
  // A download of the queue changed (on the window's thread).
  void DownloadChanged(const TDownloadStatus& status);
  // The running download in the status bar beside its bar; the speed, then
  // the bar, left out where the line would not fit.
  void ShowProgressLine(const TDownloadProgress& progress);
  void AnnounceDownloaded(const std::string& title);
  void StopDownloads();
  bool DownloadsPending() const { return queue_ && queue_->Busy(); }

  // Runs a command that makes network requests: refused while another
  // runs; its failure is shown unless the user stopped it or closed the
  // window meanwhile.
  enum class TRequestEnd { kDone, kFailed, kStopped, kRefused };
  TRequestEnd RunRequest(const std::function<void()>& command);
  std::optional<std::string> AskSaveName();

  TMainWindowContext context_;
  TServiceConfig config_;
  TProgramSettings settings_;
  TNetHTTP http_;
  TPortalSession session_;
  TCatalogueSearch search_;
  TSkinManager skins_;

  // Module state: the title the next balloon names, and the save dialog's
  // last name.
  std::string selectedTitle_;
  QString lastSaveName_;
  std::vector<std::string> links_;  // ListBox2, never visible

  static constexpr int kPumpIntervalMs = 10;
  // The bar hides this long after a transfer ends, unless the next one has
  // begun: between the pages of a search it stays, where hiding and showing
  // it would lay the window out again at every page.
  static constexpr int kProgressHideDelayMs = 50;
  TProgress progress_;
  bool progressShowPending_ = false;
  QTimer progressHide_;
  QElapsedTimer sincePump_;
  int requestsRunning_ = 0;
  bool closeRequested_ = false;
  bool stopRequested_ = false;
  bool closing_ = false;
  bool downloading_ = false;
  bool placedAsBefore_ = false;
  // Yes to the question a close during a download asks.
  bool closeConfirmed_ = false;
  QMessageBox* closeQuestion_ = nullptr;
  bool searchButtonEnabled_ = true;
  bool downloadButtonsEnabled_ = false;
  bool fileMenuEnabled_ = false;

  // Controls, named as on the form.
  QLabel* image1_ = nullptr;
  QLineEdit* edit3_ = nullptr;
  QPushButton* button1_ = nullptr;
  QLabel* label5_ = nullptr;
  QLineEdit* edit4_ = nullptr;
  QPushButton* button2_ = nullptr;
  QPushButton* bitBtn1_ = nullptr;
  QListView* listBox1_ = nullptr;
  TTitleListModel* titles_ = nullptr;
  QStatusBar* statusBar1_ = nullptr;
  QProgressBar* progressBar1_ = nullptr;
  static constexpr int kDownloadsBarWidth = 60;
  static constexpr int kDownloadsBarGap = 6;
  QProgressBar* downloadsBar_ = nullptr;
  QAction* startSearchItem_ = nullptr;
  QAction* reconnectItem_ = nullptr;
  QAction* downloadItem_ = nullptr;
  QAction* copyLinkItem_ = nullptr;
  QAction* playItem_ = nullptr;
  QAction* stopDownloadsItem_ = nullptr;
  QLabel* panel0_ = nullptr;

  // The background downloads: the queue (made at the first batch, ended
  // before the window's client whose cookies it shares), the titles of its
  // tracks until saved or forgotten, and the batch the progress line
  // counts: tracks added or tried again since the last batch ended, how
  // many of them have ended, and how many of those failed.
  std::unique_ptr<TDownloadQueue> queue_;
  std::map<uint64_t, std::string> queuedTitles_;
  int batchCount_ = 0;
  int batchEnded_ = 0;
  int batchFailed_ = 0;
  bool filesShownForQueue_ = false;
  // Tracks that end within kBalloonGroupMs of the last share its balloon,
  // whose count groupBalloon_ tells kBalloonUpdateMs after a change.
  static constexpr int kBalloonGroupMs = 3000;
  static constexpr int kBalloonUpdateMs = 500;
  QElapsedTimer sinceBalloon_;
  int balloonGroup_ = 0;
  QTimer groupBalloon_;

  tray::TPopupMenu trayMenu_;
  std::unique_ptr<tray::TTrayIcon> trayIcon1_;
};
