#include "download_queue.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "integer_text.h"
#include "socket_error_texts.h"
#include "streams.h"
#include "text.h"
#include "track_download.h"
#include "track_names.h"
#include "uri.h"

namespace {

using TClock = std::chrono::steady_clock;

std::string InFolder(const std::string& folder, const std::string& name) {
  return folder.ends_with('/') ? folder + name : folder + "/" + name;
}

// A folder that refused a track so (its disk full, read-only or gone) will
// refuse the tracks after it.
bool RefusesEveryTrack(const EFileError& error) {
  const int code = error.Error();
  return code == ENOSPC || code == EDQUOT || code == EROFS || code == ENOENT || code == ENOTDIR ||
         code == EACCES;
}

// A server not reached so (the connection timed out, no route to it, its
// name unknown), or one that took the request and never answered, serves
// the tracks after it no better, and each would wait as long again. A
// refused connection costs no wait: the tracks after it still try, and find
// a server that is back.
bool UnreachableServer(const std::exception& error, bool answered) {
  if (!answered && dynamic_cast<const ENetReadTimeout*>(&error) != nullptr) return true;
  const auto* failed = dynamic_cast<const ENetSocketError*>(&error);
  if (failed == nullptr) return false;
  const int code = failed->LastError();
  return code == socket_errors::kTimedOut || code == socket_errors::kNetworkUnreachable ||
         code == socket_errors::kHostUnreachable || code == socket_errors::kHostNotFound ||
         code == socket_errors::kTryAgain || code == socket_errors::kNoRecovery;
}

// The host and port a link is fetched from.
std::string ServerOf(const std::string& link) {
  const TNetURI uri(link);
  return text::ToLower(uri.Host) + ":" + (uri.Port.empty() ? "80" : uri.Port);
}

}  // namespace

TDownloadQueue::TDownloadQueue(TClientSetup setup, TNetCookieManager* sharedCookies,
                               TStatusSink sink, TFailureWords failureWords)
    : sink_(std::move(sink)), failureWords_(std::move(failureWords)) {
  if (setup) setup(http_);
  if (sharedCookies != nullptr) http_.SetCookieManager(sharedCookies);
  http_.HandleRedirects = true;
  // A cancel reaches the transfer between two waits of the worker's client.
  http_.OnIdle = [this](TNetComponent*) {
    if (cancelRunning_) {
      http_.Disconnect();
    } else if (progressBetweenBlocks_) {
      progressBetweenBlocks_();
    }
  };
  worker_ = std::thread([this] { Work(); });
}

TDownloadQueue::~TDownloadQueue() {
  {
    std::lock_guard lock(mutex_);
    ending_ = true;
    cancelRunning_ = true;
  }
  changed_.notify_all();
  worker_.join();
}

uint64_t TDownloadQueue::Add(TQueuedTrack track) {
  uint64_t id = 0;
  {
    std::lock_guard lock(mutex_);
    id = ++lastId_;
    TEntry& entry = entries_.emplace_back();
    entry.id = id;
    entry.track = std::move(track);
    byId_[id] = std::prev(entries_.end());
    Enqueue(entry);
  }
  changed_.notify_all();
  return id;
}

TDownloadStatus TDownloadQueue::StatusOf(const TEntry& entry) {
  TDownloadStatus status;
  status.id = entry.id;
  status.state = entry.state;
  status.received = entry.onDisk;
  return status;
}

TDownloadQueue::TEntry* TDownloadQueue::Find(uint64_t id) {
  const auto found = byId_.find(id);
  return found == byId_.end() ? nullptr : &*found->second;
}

void TDownloadQueue::Enqueue(TEntry& entry) {
  entry.state = TDownloadState::kQueued;
  entry.turn = ++lastTurn_;
  waiting_.push_back({entry.id, entry.turn});
}

TDownloadQueue::TEntry* TDownloadQueue::NextQueued() {
  for (; !waiting_.empty(); waiting_.pop_front()) {
    TEntry* entry = Find(waiting_.front().id);
    if (entry != nullptr && entry->state == TDownloadState::kQueued &&
        entry->turn == waiting_.front().turn)
      return entry;
  }
  return nullptr;
}

void TDownloadQueue::Cancel(uint64_t id) {
  TDownloadStatus cancelled;
  {
    std::lock_guard lock(mutex_);
    TEntry* entry = Find(id);
    if (entry == nullptr) return;
    if (entry->state == TDownloadState::kRunning) {
      cancelRunning_ = true;
      return;
    }
    if (entry->state != TDownloadState::kQueued) return;
    entry->state = TDownloadState::kCancelled;
    cancelled = StatusOf(*entry);
  }
  changed_.notify_all();
  Report(cancelled);
}

void TDownloadQueue::CancelAll() {
  std::vector<uint64_t> ids;
  {
    std::lock_guard lock(mutex_);
    for (const TEntry& entry : entries_)
      if (Pending(entry)) ids.push_back(entry.id);
  }
  for (uint64_t id : ids) Cancel(id);
}

bool TDownloadQueue::Retry(uint64_t id) {
  TDownloadStatus queued;
  {
    std::lock_guard lock(mutex_);
    const auto found = byId_.find(id);
    if (found == byId_.end() || (found->second->state != TDownloadState::kFailed &&
                                 found->second->state != TDownloadState::kCancelled))
      return false;
    entries_.splice(entries_.end(), entries_, found->second);
    Enqueue(*found->second);
    queued = StatusOf(*found->second);
  }
  changed_.notify_all();
  Report(queued);
  return true;
}

// A waiting track ends as cancelled as it goes: every track queued ends
// once, and whoever counts the ends hears of it.
void TDownloadQueue::Remove(uint64_t id) {
  std::optional<TDownloadStatus> cancelled;
  {
    std::lock_guard lock(mutex_);
    const auto found = byId_.find(id);
    if (found == byId_.end() || found->second->state == TDownloadState::kRunning) return;
    if (found->second->state == TDownloadState::kQueued) {
      found->second->state = TDownloadState::kCancelled;
      cancelled = StatusOf(*found->second);
    }
    entries_.erase(found->second);
    byId_.erase(found);
  }
  if (!cancelled) return;
  changed_.notify_all();
  Report(*cancelled);
}

bool TDownloadQueue::Pending(const TEntry& entry) {
  return entry.state == TDownloadState::kQueued || entry.state == TDownloadState::kRunning;
}

// From the back: tracks are queued at the end, and the ended ones of a long
// batch, before them, would be read at each report.
bool TDownloadQueue::AnyPending() const {
  return std::any_of(entries_.rbegin(), entries_.rend(), Pending);
}

bool TDownloadQueue::Busy() {
  std::lock_guard lock(mutex_);
  return AnyPending();
}

bool TDownloadQueue::WaitUntilIdle(int timeoutMs) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [this] { return !reportingEnd_ && !AnyPending(); });
}

void TDownloadQueue::Report(const TDownloadStatus& status) {
  if (sink_) sink_(status);
}

void TDownloadQueue::Work() {
  std::unique_lock lock(mutex_);
  while (true) {
    changed_.wait(lock, [&] { return ending_ || NextQueued() != nullptr; });
    if (ending_) break;
    TEntry& entry = *NextQueued();
    waiting_.pop_front();
    entry.state = TDownloadState::kRunning;
    cancelRunning_ = false;
    TDownloadStatus status = StatusOf(entry);
    lock.unlock();
    Report(status);
    std::optional<EFileError> folderRefusal;
    bool serverUnreachable = false;
    Fetch(entry, status, folderRefusal, serverUnreachable);
    lock.lock();
    entry.state = status.state;
    // With it, not after its report: a track queued again once the failure
    // is told gets its own attempt.
    std::vector<TDownloadStatus> alsoFailed;
    if (folderRefusal)
      alsoFailed = FailQueuedIn(entry.track.folder, *folderRefusal);
    else if (serverUnreachable)
      alsoFailed = FailQueuedFrom(ServerOf(entry.track.link), status.failure);
    // The queue counts as idle once this is told: a waiter has every report.
    reportingEnd_ = true;
    lock.unlock();
    Report(status);
    for (const TDownloadStatus& other : alsoFailed) Report(other);
    lock.lock();
    reportingEnd_ = false;
    changed_.notify_all();
  }
  // The partial files go with their entries, before the client.
  byId_.clear();
  entries_.clear();
}

// Without a request each: a batch of thousands into a full disk, or from a
// server out of reach, would otherwise fail for minutes, a track at a time.
std::vector<TDownloadStatus> TDownloadQueue::FailQueued(
    const std::function<std::optional<TMessage>(const TEntry& entry)>& failureOf) {
  std::vector<TDownloadStatus> failed;
  for (TEntry& entry : entries_) {
    if (entry.state != TDownloadState::kQueued) continue;
    std::optional<TMessage> failure = failureOf(entry);
    if (!failure) continue;
    entry.state = TDownloadState::kFailed;
    TDownloadStatus status = StatusOf(entry);
    status.failure = std::move(*failure);
    failed.push_back(std::move(status));
  }
  return failed;
}

std::vector<TDownloadStatus> TDownloadQueue::FailQueuedIn(const std::string& folder,
                                                          const EFileError& refusal) {
  return FailQueued([&](const TEntry& entry) -> std::optional<TMessage> {
    if (InFolder(entry.track.folder, "") != InFolder(folder, "")) return std::nullopt;
    const std::string path = entry.target.empty()
                                 ? InFolder(folder, SafeTrackFileName(entry.track.title))
                                 : entry.target;
    return failureWords_(EFileError(refusal.Action(), path, refusal.Error()));
  });
}

std::vector<TDownloadStatus> TDownloadQueue::FailQueuedFrom(const std::string& server,
                                                            const TMessage& failure) {
  return FailQueued([&](const TEntry& entry) -> std::optional<TMessage> {
    if (ServerOf(entry.track.link) != server) return std::nullopt;
    return failure;
  });
}

void TDownloadQueue::Fetch(TEntry& entry, TDownloadStatus& status,
                           std::optional<EFileError>& folderRefusal, bool& serverUnreachable) {
  serverAnswered_ = false;
  try {
    // A partial file deleted since (by the user, or a cleaner) could only
    // be written on and never take its name: the track starts anew.
    struct stat partial {};
    if (entry.partial && fstat(entry.partial->Handle(), &partial) == 0 && partial.st_nlink == 0)
      entry.partial.reset();
    if (!entry.partial) {
      entry.name = SafeTrackFileName(entry.track.title);
      const std::string folder = InFolder(entry.track.folder, "");
      // Once a folder: the files of killed downloads do not come back, and a
      // batch of thousands would read the growing folder for each track.
      if (cleanedFolders_.insert(folder).second) RemoveStaleTemporaryFiles(folder + entry.name);
      entry.partial = NewTrackFile(folder, entry.name);
      entry.target = folder + entry.name;
      entry.onDisk = 0;
    }
    // A server that answers the range with another part of the track
    // gets a second request for the whole of it.
    if (!Request(entry, status, entry.onDisk)) Request(entry, status, 0);
    Commit(entry, status);
    status.state = TDownloadState::kDone;
  } catch (const std::exception& error) {
    status.state = cancelRunning_ ? TDownloadState::kCancelled : TDownloadState::kFailed;
    status.failure = failureWords_(error);
    const auto* refused = dynamic_cast<const EFileError*>(&error);
    if (refused != nullptr && status.state == TDownloadState::kFailed &&
        RefusesEveryTrack(*refused))
      folderRefusal = *refused;
    serverUnreachable =
        status.state == TDownloadState::kFailed && UnreachableServer(error, serverAnswered_);
    // Closed, but refused its name (its folder gone, say): a retry starts it
    // anew rather than writing to a closed file. With nothing on the disk
    // there is nothing to continue: no empty file waits in the folder (a
    // portal gone fails a whole batch at once).
    if (entry.partial && (entry.partial->Handle() < 0 || entry.onDisk == 0)) {
      entry.partial.reset();
      entry.onDisk = 0;
    }
  }
  status.received = entry.onDisk;
}

bool TDownloadQueue::Request(TEntry& entry, TDownloadStatus& status, int64_t offset) {
  const int handle = entry.partial->Handle();
  // The file holds what was counted, no byte more.
  if (ftruncate(handle, offset) != 0 || lseek(handle, offset, SEEK_SET) < 0)
    throw EFileError(EFileError::TAction::kWrite, entry.target, errno);
  entry.onDisk = offset;
  http_.Request().CustomHeaders.Clear();
  if (offset > 0) {
    http_.Request().CustomHeaders.Add("Range: bytes=" + std::to_string(offset) + "-");
    // A track changed since comes whole.
    if (!entry.validator.empty()) http_.Request().CustomHeaders.Add("If-Range: " + entry.validator);
  }
  int64_t start = offset;
  bool continues = true;
  http_.OnHeadersAvailable = [&](TNetComponent*, bool& read) {
    serverAnswered_ = true;
    const TNetHTTPResponse& response = http_.Response();
    const int32_t code = response.ResponseCode;
    if (code < 200 || code > 299) return;
    const int64_t total = response.ContentRangeInstanceLength;
    if (code == 206 && offset > 0 &&
        !(CarriesRestFrom(response, offset) && (entry.total < 0 || total == entry.total))) {
      continues = read = false;
      return;
    }
    if (code != 206 && offset > 0) {
      // The whole track came instead of the rest: it starts over.
      if (ftruncate(handle, 0) != 0 || lseek(handle, 0, SEEK_SET) < 0)
        throw EFileError(EFileError::TAction::kWrite, entry.target, errno);
      start = entry.onDisk = 0;
    }
    status.total =
        code == 206 ? total : (response.ContentLength >= 0 ? start + response.ContentLength : -1);
    if (start == 0) {
      entry.total = status.total;
      const std::string etag = response.RawHeaders.Values("ETag");
      entry.validator = !etag.empty() && !etag.starts_with("W/")
                            ? etag
                            : response.RawHeaders.Values("Last-Modified");
      // Sent back as a header line: a control byte in it is never sent.
      if (std::any_of(entry.validator.begin(), entry.validator.end(),
                      [](unsigned char byte) { return byte < 0x20 || byte == 0x7F; }))
        entry.validator.clear();
    }
  };
  TFileStream stream(handle);
  const TClock::time_point began = TClock::now();
  TClock::time_point reported = began;
  // Counted by what reached the file (a chunked body opens one transfer per
  // chunk, and a redirect's body goes elsewhere), and by what waits in the
  // client's buffer: a slow link shows its bytes before a block is whole.
  const auto tell = [&](int64_t received) {
    status.received = start + received;
    const TClock::time_point now = TClock::now();
    if (now - reported < std::chrono::milliseconds(kProgressIntervalMs)) return;
    reported = now;
    const double seconds = std::chrono::duration<double>(now - began).count();
    status.bytesPerSecond = seconds > 0 ? static_cast<double>(received) / seconds : 0;
    Report(status);
  };
  http_.OnWork = [&](TNetComponent*, TWorkMode mode, int64_t) {
    if (mode == TWorkMode::wmRead) tell(stream.Position());
  };
  progressBetweenBlocks_ = [&] {
    if (http_.Work(TWorkMode::wmRead).level > 0 && http_.ResponseCode() / 100 == 2)
      tell(stream.Position() + http_.InputBuffer().Size());
  };
  struct TEventsCleared {
    TNetHTTP& http;
    std::function<void()>& progressBetweenBlocks;
    ~TEventsCleared() {
      http.OnHeadersAvailable = nullptr;
      http.OnWork = nullptr;
      progressBetweenBlocks = nullptr;
      http.Request().CustomHeaders.Clear();
    }
  } cleared{http_, progressBetweenBlocks_};
  try {
    try {
      FetchTrack(http_, entry.track.link, stream, offset);
      stream.Flush();
    } catch (...) {
      // What reached the file before the failure stays for a retry; the
      // failure reported is the first one.
      try {
        stream.Flush();
      } catch (const EStreamWriteError&) {
      }
      entry.onDisk = std::max<int64_t>(lseek(handle, 0, SEEK_CUR), 0);
      throw;
    }
    entry.onDisk = start + stream.Position();
  } catch (const EStreamWriteError& refused) {
    throw EFileError(EFileError::TAction::kWrite, entry.target, refused.Error());
  } catch (const ENetHTTPProtocolException& refused) {
    // No rest to give: the track became shorter, or the file holds it all.
    if (offset > 0 && refused.ErrorCode() == 416) return false;
    throw;
  } catch (const EConvertError&) {
    // A range reply the client cannot read ("bytes */SIZE" of a 416).
    if (offset > 0) return false;
    throw;
  }
  return continues;
}

void TDownloadQueue::Commit(TEntry& entry, TDownloadStatus& status) {
  TReplacingFile& file = *entry.partial;
  // A saved track is on the disk before it takes its name.
  if (!file.Close(true)) throw EFileError(EFileError::TAction::kWrite, entry.target, errno);
  status.savedPath = CommitWithoutReplacing(file, InFolder(entry.track.folder, ""), entry.name);
  entry.partial.reset();
}
