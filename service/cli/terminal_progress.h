#pragma once
// The progress line of a download on a terminal, drawn in place:
// "2 из 5 · 12,3 из 45,6 МБ · 2,1 МБ/с · осталось 0:15".

#include <chrono>
#include <cstdint>
#include <ostream>

#include "download_progress.h"
#include "http_client.h"

// Each line drawn over the last; the last one cleared when the download ends.
void DrawProgressLine(std::ostream& err, const TDownloadProgress& progress);
void ClearProgressLine(std::ostream& err);

// The line of one download on the client, as often as a batch draws it
// (at most every TDownloadQueue::kProgressIntervalMs), cleared when it goes.
// The bodies of other requests draw nothing. The client's idle hook still
// runs, after the line's.
class TTerminalProgress {
 public:
  TTerminalProgress(TNetHTTP& http, std::ostream& err);
  TTerminalProgress(const TTerminalProgress&) = delete;
  TTerminalProgress& operator=(const TTerminalProgress&) = delete;
  ~TTerminalProgress();

 private:
  void Draw(int64_t received);

  TNetHTTP& http_;
  std::ostream& err_;
  const std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point drawnAt_;
  const TNotifyEvent callersIdle_;
  bool drawn_ = false;
  int64_t received_ = 0;
  int64_t base_ = 0;
};
