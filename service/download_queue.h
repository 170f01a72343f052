#pragma once
// Downloads in the background: tracks wait in a queue and one worker thread
// fetches them in order over an HTTP client of its own, so the window's
// requests never wait for a download. The worker's client shares the
// window's cookie store: one login holds for both.
//
// Each track keeps every guarantee of a single download: a temporary file
// beside the target, a 2xx reply whose body came whole, and the name taken
// only then. A cut or cancelled track keeps its partial file while it is in
// the queue, and a retry asks the server for the rest (a Range request),
// starting over when the server sends the whole track instead. The partial
// file goes when the track is removed or the queue ends. A folder that
// refuses a track for a reason that holds for all (a full disk, a folder
// gone) fails the tracks queued for it at once; so does a server that could
// not be reached (a connection that timed out, a name unknown) or that never
// answered.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "files.h"
#include "http_client.h"
#include "message.h"

// What to fetch and where to keep it: the track is saved in the folder
// under its title made safe, numbered when the name is taken.
struct TQueuedTrack {
  std::string link;
  std::string title;   // Windows-1251
  std::string folder;  // the file system's bytes; with a trailing "/" or not
};

enum class TDownloadState { kQueued, kRunning, kDone, kFailed, kCancelled };

struct TDownloadStatus {
  uint64_t id = 0;
  TDownloadState state = TDownloadState::kQueued;
  int64_t received = 0;  // bytes of the track on the disk so far
  int64_t total = -1;    // -1 while unknown
  double bytesPerSecond = 0;
  std::string savedPath;  // once done
  TMessage failure;       // once failed
  bool resumed = false;   // the running attempt continues a partial file
};

class TDownloadQueue {
 public:
  // Sets up the worker's client as the window's is (host, port, timeouts).
  using TClientSetup = std::function<void(TNetHTTP& http)>;
  // Runs on the worker thread: every change of a track's state, and its
  // progress at most every kProgressIntervalMs.
  using TStatusSink = std::function<void(const TDownloadStatus& status)>;
  static constexpr int kProgressIntervalMs = 100;
  // The words a failure is told in: the window has its own, the terminal
  // keeps the client's texts that scripts may read.
  using TFailureWords = std::function<TMessage(const std::exception& error)>;

  TDownloadQueue(TClientSetup setup, TNetCookieManager* sharedCookies, TStatusSink sink,
                 TFailureWords failureWords = MessageOf);
  // Stops the running track, removes every partial file, joins the worker.
  ~TDownloadQueue();
  TDownloadQueue(const TDownloadQueue&) = delete;
  TDownloadQueue& operator=(const TDownloadQueue&) = delete;

  // Queues the track last; returns its id.
  uint64_t Add(TQueuedTrack track);
  // A queued track leaves the queue, a running one stops; either keeps its
  // partial file and can be retried.
  void Cancel(uint64_t id);
  void CancelAll();
  // A failed or cancelled track goes to the end of the queue again; false
  // when the track was not one (already queued again, running or done).
  bool Retry(uint64_t id);
  // Forgets a track that is not running, and its partial file; a waiting
  // one is reported cancelled as it goes.
  void Remove(uint64_t id);
  // Whether a track is queued or running.
  bool Busy();
  // Waits until no track is queued or running, at most timeoutMs.
  bool WaitUntilIdle(int timeoutMs);

 private:
  struct TEntry {
    uint64_t id;
    TQueuedTrack track;
    TDownloadState state = TDownloadState::kQueued;
    std::string name;    // the file name taken from the title
    std::string target;  // where the temporary file stands beside
    std::unique_ptr<TReplacingFile> partial;
    int64_t onDisk = 0;
    // What the server told of the track the partial file holds the start
    // of: a rest is taken only of the same track.
    int64_t total = -1;
    std::string validator;  // its strong ETag, else its Last-Modified
    uint64_t turn = 0;      // when it was last queued
  };
  struct TTurn {
    uint64_t id;
    uint64_t turn;
  };

  void Work();
  // Sets folderRefusal when the track's folder refused it in a way that it
  // will refuse the others queued for it, serverUnreachable when its server
  // could not be reached or never answered.
  void Fetch(TEntry& entry, TDownloadStatus& status, std::optional<EFileError>& folderRefusal,
             bool& serverUnreachable);
  // Fails each queued track that failureOf gives a failure for.
  std::vector<TDownloadStatus> FailQueued(
      const std::function<std::optional<TMessage>(const TEntry& entry)>& failureOf);
  // Fails the tracks queued for the folder with the refusal's reason.
  std::vector<TDownloadStatus> FailQueuedIn(const std::string& folder, const EFileError& refusal);
  // Fails the tracks queued from the server ("host:port") with the failure.
  std::vector<TDownloadStatus> FailQueuedFrom(const std::string& server, const TMessage& failure);
  // Sends one GET, from offset when the file holds a start; false when the
  // server answered a range that does not continue the file, or had no rest
  // to give (416).
  bool Request(TEntry& entry, TDownloadStatus& status, int64_t offset);
  void Commit(TEntry& entry, TDownloadStatus& status);
  void Report(const TDownloadStatus& status);
  static TDownloadStatus StatusOf(const TEntry& entry);
  // Queued or running.
  static bool Pending(const TEntry& entry);
  bool AnyPending() const;
  TEntry* Find(uint64_t id);
  // Queues the entry again at the end.
  void Enqueue(TEntry& entry);
  // The next entry to fetch, the first queued; nullptr when none is.
  TEntry* NextQueued();

  TStatusSink sink_;
  TFailureWords failureWords_;
  TNetHTTP http_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::list<TEntry> entries_;
  // By id, and the queued ones in their turn: a batch of thousands is not
  // read through for every track, cancel or removal.
  std::unordered_map<uint64_t, std::list<TEntry>::iterator> byId_;
  std::deque<TTurn> waiting_;  // a turn whose entry left the queue is passed over
  uint64_t lastId_ = 0;
  uint64_t lastTurn_ = 0;
  std::set<std::string> cleanedFolders_;  // of stale temporary files; the worker's
  // The running track is to stop: read by the worker's client between waits.
  std::atomic<bool> cancelRunning_{false};
  // The running track's server sent a reply head: the worker's.
  bool serverAnswered_ = false;
  // The running track's progress between its counted blocks: the worker's
  // client runs it between waits.
  std::function<void()> progressBetweenBlocks_;
  bool ending_ = false;
  bool reportingEnd_ = false;  // a track's end is being told
  std::thread worker_;
};
