// The main window's side of the background downloads: the queue that
// fetches the selected titles into a folder, their bar and progress line
// in the status bar, and the balloons of the tracks that have come.
#include <QFile>
#include <QLabel>
#include <QProgressBar>

#include "app_texts.h"
#include "download_progress.h"
#include "error_words.h"
#include "file_list_window.h"
#include "list_error.h"
#include "main_window.h"
#include "message_boxes.h"
#include "program_http_settings.h"
#include "qt_text.h"
#include "save_dialog.h"
#include "title_list.h"
#include "tray_icon.h"
#include "window_places.h"

using namespace app_texts;

void TForm1::DownloadSelectedTitles(const std::vector<int>& rows) {
  const std::optional<QString> folder =
      RunFolderDialog(this, lastSaveName_, QStringFromCp1251(kChooseFolder));
  if (!folder) return;
  // The next dialog opens in this folder, at this run and the next.
  lastSaveName_ = FolderAsLastName(*folder);
  KeepDownloadFolder(context_.windowPlacesPath, *folder);
  const std::string folderBytes = QFile::encodeName(*folder).toStdString();
  for (int row : rows) {
    const std::string& title = ListRow(titles_->Titles(), row);
    const uint64_t id = Queue().Add({ListRow(links_, row), title, folderBytes});
    queuedTitles_[id] = title;
    ++batchCount_;
    if (context_.windows.files) context_.windows.files->AddDownload(id, title);
  }
  stopDownloadsItem_->setEnabled(true);
  // The list of downloads shows itself at the first batch.
  if (!filesShownForQueue_) {
    filesShownForQueue_ = true;
    if (context_.windows.files) context_.windows.files->ShowUnasked(*this);
  }
}

TDownloadQueue& TForm1::Queue() {
  if (queue_) return *queue_;
  queue_ = std::make_unique<TDownloadQueue>(
      [port = config_.port](TNetHTTP& client) { ApplyProgramHTTPSettings(client, port); },
      http_.CookieManager(),
      [this](const TDownloadStatus& status) {
        // From the worker: the window hears of it on its own thread.
        QMetaObject::invokeMethod(
            this, [this, status] { RunGuarded([&] { DownloadChanged(status); }); },
            Qt::QueuedConnection);
      },
      WindowMessageOf);
  if (TForm3* files = context_.windows.files) {
    files->OnCancel = [this](uint64_t id) { queue_->Cancel(id); };
    // A row may be asked twice before the window hears that it is queued
    // again: the batch counts each track once, or it would never end.
    files->OnRetry = [this](uint64_t id) {
      if (!queue_->Retry(id)) return;
      ++batchCount_;
      stopDownloadsItem_->setEnabled(true);
    };
    files->OnForget = [this](uint64_t id) {
      queue_->Remove(id);
      queuedTitles_.erase(id);
    };
  }
  return *queue_;
}

void TForm1::DownloadChanged(const TDownloadStatus& status) {
  if (context_.windows.files) context_.windows.files->ShowDownload(status);
  switch (status.state) {
    case TDownloadState::kRunning:
      ShowProgressLine(
          {batchEnded_ + 1, batchCount_, status.received, status.total, status.bytesPerSecond});
      break;
    case TDownloadState::kDone: {
      ++batchEnded_;
      // A track saved is not tried again: its title goes with its balloon.
      std::string title;
      if (auto queued = queuedTitles_.extract(status.id)) title = std::move(queued.mapped());
      AnnounceDownloaded(title);
      break;
    }
    case TDownloadState::kFailed:
      ++batchFailed_;
      ++batchEnded_;
      break;
    case TDownloadState::kCancelled:
      ++batchEnded_;
      break;
    case TDownloadState::kQueued:
      break;
  }
  // Each track added or tried again ends once, and the ends are told in
  // order: the batch has ended when every end has been heard.
  if (batchEnded_ < batchCount_) return;
  stopDownloadsItem_->setEnabled(false);
  HideDownloadsBar();
  // A failure stays in sight until the next batch, also when the list of
  // downloads was closed: it opens on the failed rows, ready to try again.
  panel0_->setText(batchFailed_ > 0 ? QStringFromCp1251(FailedDownloads(batchFailed_, batchCount_))
                                    : QStringLiteral(" "));
  if (batchFailed_ > 0 && context_.windows.files) context_.windows.files->ShowFailed(*this);
  batchCount_ = batchEnded_ = batchFailed_ = 0;
}

void TForm1::ShowProgressLine(const TDownloadProgress& progress) {
  const QString line = QStringFromCp1251(DownloadProgressLine(progress));
  const QString shorter = QStringFromCp1251(DownloadProgressLine(progress, TSpeedShown::kNo));
  const auto width = [this](const QString& text) {
    return panel0_->fontMetrics().horizontalAdvance(text);
  };
  // The time left matters more than the speed it comes from, and the line
  // more than the bar.
  const int room = panel0_->contentsRect().width();
  const int besideTheBar = room - kDownloadsBarWidth - kDownloadsBarGap;
  const bool withBar = width(shorter) <= besideTheBar;
  if (withBar)
    ShowDownloadsBar(progress.received, progress.total);
  else
    HideDownloadsBar();
  panel0_->setText(width(line) <= (withBar ? besideTheBar : room) ? line : shorter);
}

void TForm1::AnnounceDownloaded(const std::string& title) {
  if (!settings_.ShowBalloon()) return;
  const bool together = sinceBalloon_.isValid() && sinceBalloon_.elapsed() < kBalloonGroupMs;
  balloonGroup_ = together ? balloonGroup_ + 1 : 1;
  sinceBalloon_.start();
  // Small tracks may end by the hundred a second: the shared balloon tells
  // its count at most every kBalloonUpdateMs, not once a track.
  if (together) {
    if (!groupBalloon_.isActive()) groupBalloon_.start();
    return;
  }
  groupBalloon_.stop();
  trayIcon1_->DisplayBalloonHint(kBalloonTitle, DownloadedBalloon(title), tray::bitInfo, 10);
}

void TForm1::StopDownloads() {
  if (queue_) queue_->CancelAll();
}
