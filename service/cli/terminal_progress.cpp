#include "terminal_progress.h"

#include <algorithm>

#include "download_queue.h"
#include "message.h"

void DrawProgressLine(std::ostream& err, const TDownloadProgress& progress) {
  err << "\r" << TMessage(DownloadProgressLine(progress)).Utf8() << "\x1b[K" << std::flush;
}

void ClearProgressLine(std::ostream& err) {
  err << "\r\x1b[K" << std::flush;
}

TTerminalProgress::TTerminalProgress(TNetHTTP& http, std::ostream& err)
    : http_(http), err_(err), start_(std::chrono::steady_clock::now()), callersIdle_(http.OnIdle) {
  // A chunked body opens one transfer per chunk: the count goes on across them.
  http_.OnWorkBegin = [this](TNetComponent*, TWorkMode mode, int64_t) {
    if (mode == TWorkMode::wmRead) base_ = received_;
  };
  http_.OnWork = [this](TNetComponent*, TWorkMode mode, int64_t count) {
    if (mode != TWorkMode::wmRead || http_.ResponseCode() / 100 != 2) return;
    received_ = base_ + count;
    Draw(received_);
  };
  // A slow link shows what has come before a block is whole (the buffer
  // may hold bytes past the body: never more than it announced).
  http_.OnIdle = [this](TNetComponent* sender) {
    if (http_.Work(TWorkMode::wmRead).level > 0 && http_.ResponseCode() / 100 == 2) {
      const int64_t length = http_.Response().ContentLength;
      const int64_t arrived = base_ + http_.ReadWorkReceived();
      Draw(length >= 0 ? std::min(arrived, length) : arrived);
    }
    if (callersIdle_) callersIdle_(sender);
  };
}

TTerminalProgress::~TTerminalProgress() {
  http_.OnWorkBegin = nullptr;
  http_.OnWork = nullptr;
  http_.OnIdle = callersIdle_;
  if (drawn_) ClearProgressLine(err_);
}

void TTerminalProgress::Draw(int64_t received) {
  const auto now = std::chrono::steady_clock::now();
  if (drawn_ && now - drawnAt_ < std::chrono::milliseconds(TDownloadQueue::kProgressIntervalMs))
    return;
  drawn_ = true;
  drawnAt_ = now;
  const double seconds = std::chrono::duration<double>(now - start_).count();
  DrawProgressLine(err_, {1, 1, received, http_.Response().ContentLength,
                          seconds > 0 ? static_cast<double>(received) / seconds : 0});
}
