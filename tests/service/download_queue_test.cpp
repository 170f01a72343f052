// The background queue without a window: tracks in order under their safe
// titles, nothing replaced, a cancel that keeps the partial file and a retry
// that asks for the rest, a server that knows no ranges, a failure in the
// middle of the queue.

#include "download_queue.h"

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <tuple>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include "../http/http_test_helpers.h"
#include "../settings/temp_folder.h"
#include "cp1251.h"
#include "download_progress.h"
#include "net_stack.h"
#include "portal_server.h"
#include "support/raw_sockets.h"
#include "track_download.h"
#include "track_names.h"

namespace {

using namespace testing_support;
using State = TDownloadState;

TEST(TrackNames, ATitleBecomesOneSafeNameAndANumberedOne) {
  const std::pair<std::string, std::string> cases[] = {
      {"Northern Wind - Road Home", "Northern Wind - Road Home.mp3"},
      {Utf8ToCp1251("Дорога / домой"), "Дорога _ домой.mp3"},
      {"a\tb\x7F"
       "c",
       "a_b_c.mp3"},
      {"..hidden", "hidden.mp3"},
      {"song.MP3.mp3", "song.mp3"},
      {" . ", "track.mp3"},
      {std::string(300, 'x'), std::string(196, 'x') + ".mp3"},
      {Utf8ToCp1251(std::string(150, 'x') + "ЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖ"),
       std::string(150, 'x') + "ЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖ.mp3"},  // 196 bytes cut at a letter
  };
  for (const auto& [title, name] : cases) EXPECT_EQ(SafeTrackFileName(title), name) << title;
  EXPECT_EQ(PortableTrackFileName("a\\b:c*d?e\"f<g>h|i.mp3"), "a_b_c_d_e_f_g_h_i.mp3");
  const std::tuple<std::string, int, std::string> refused[] = {
      {"Who?.mp3", ENOENT, "Who_.mp3"},
      {"Who.mp3", ENOENT, ""},  // the folder is gone
      {"Who?.mp3", EACCES, ""},
      {"Дорога домой.mp3", ENAMETOOLONG, "Дорог.mp3"},  // at most 11 of 23 bytes, whole letters
      {"Short title.mp3", ENAMETOOLONG, ""},
  };
  for (const auto& [name, error, instead] : refused)
    EXPECT_EQ(TrackFileNameInstead(name, error), instead) << name << " " << error;
  EXPECT_EQ(NumberedTrackFileName("Song.mp3", 2), "Song (2).mp3");
  EXPECT_EQ(NumberedTrackFileName(std::string(196, 'x') + ".mp3", 12).size(), 200u);
}

TEST(DownloadProgressLine, WhatIsKnownWithTheRussianDecimalComma) {
  const std::pair<TDownloadProgress, std::string> cases[] = {
      {{2, 5, 12897485, 47815065, 2202009.6},
       "2 из 5 · 12,3 из 45,6 МБ · 2,1 МБ/с · осталось 0:16"},
      {{1, 1, 0, -1, 0}, "1 из 1 · 0,0 КБ"},
      // A short track in kilobytes; the edge lies under 1024 of them.
      {{1, 2, 48640, 65536, 2048}, "1 из 2 · 47,5 из 64,0 КБ · 2,0 КБ/с · осталось 0:09"},
      {{1, 1, 0, 1023 * 1024, 1023 * 1024}, "1 из 1 · 0,0 из 1,0 МБ · 1,0 МБ/с · осталось 0:01"},
      {{1, 3, 1048576, -1, 1048576}, "1 из 3 · 1,0 МБ · 1,0 МБ/с"},
      {{3, 3, 0, int64_t{4000} * 1048576, 1048576},
       "3 из 3 · 0,0 из 4000,0 МБ · 1,0 МБ/с · осталось 1:06:40"},
      {{1, 1, 1, int64_t{1} << 62, 0.1}, "1 из 1 · 0,0 из 4398046511104,0 МБ · 0,0 КБ/с"},
  };
  for (const auto& [progress, line] : cases)
    EXPECT_EQ(Cp1251ToUtf8(DownloadProgressLine(progress)), line);
}

class DownloadQueueTest : public ::testing::Test {
 protected:
  std::unique_ptr<TDownloadQueue> MakeQueue(TDownloadQueue::TClientSetup setup = nullptr) {
    return std::make_unique<TDownloadQueue>(setup, nullptr, [this](const TDownloadStatus& s) {
      std::lock_guard lock(mutex_);
      statuses_.push_back(s);
      changed_.notify_all();
    });
  }

  // The first status reported that passes the test, waited for (at most 20 s).
  std::optional<TDownloadStatus> WaitFor(const std::function<bool(const TDownloadStatus&)>& test) {
    std::unique_lock lock(mutex_);
    std::optional<TDownloadStatus> found;
    changed_.wait_for(lock, std::chrono::seconds(20), [&] {
      for (const TDownloadStatus& s : statuses_)
        if (!found && test(s)) found = s;
      return found.has_value();
    });
    return found;
  }

  std::optional<TDownloadStatus> WaitForState(uint64_t id, State state) {
    return WaitFor([&](const TDownloadStatus& s) { return s.id == id && s.state == state; });
  }

  // The ids in the order they ended.
  std::vector<uint64_t> Ended() {
    std::lock_guard lock(mutex_);
    std::vector<uint64_t> ids;
    for (const TDownloadStatus& s : statuses_)
      if (s.state == State::kDone || s.state == State::kFailed) ids.push_back(s.id);
    return ids;
  }

  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.File("")))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  TempFolder folder;

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<TDownloadStatus> statuses_;
};

// An exFAT folder, as on a player's memory card, where the machine lets a
// test mount one (root, a loop device, FUSE).
class MemoryCardFolder {
 public:
  explicit MemoryCardFolder(const std::string& work)
      : image_(work + "card.img"), path_(work + "card") {
    std::filesystem::create_directory(path_);
    if (Run("truncate -s 8M '" + image_ + "' && mkfs.exfat '" + image_ + "'") != 0) return;
    if (FILE* loop = popen(("losetup -f --show '" + image_ + "' 2>/dev/null").c_str(), "r")) {
      char line[64] = {};
      if (std::fgets(line, sizeof line, loop) != nullptr) device_ = std::strtok(line, "\n");
      pclose(loop);
    }
    mounted_ = !device_.empty() && Run("mount.exfat-fuse " + device_ + " '" + path_ + "'") == 0;
  }
  ~MemoryCardFolder() {
    if (mounted_) Run("umount '" + path_ + "'");
    if (!device_.empty()) Run("losetup -d " + device_);
  }
  bool Mounted() const { return mounted_; }
  const std::string& Path() const { return path_; }

 private:
  static int Run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str());
  }
  std::string image_, path_, device_;
  bool mounted_ = false;
};

// A folder of a small disk of its own, where the machine lets a test
// mount one (root).
class SmallDiskFolder {
 public:
  explicit SmallDiskFolder(const std::string& path) : path_(path) {
    std::filesystem::create_directory(path_);
    mounted_ =
        std::system(("mount -t tmpfs -o size=64k tmpfs '" + path_ + "' 2>/dev/null").c_str()) == 0;
  }
  ~SmallDiskFolder() {
    if (mounted_) std::system(("umount '" + path_ + "'").c_str());
  }
  bool Mounted() const { return mounted_; }

 private:
  std::string path_;
  bool mounted_ = false;
};

std::string TrackLink(int port, int id) {
  return "http://127.0.0.1:" + std::to_string(port) + "/tracks/" + std::to_string(id) + ".mp3";
}

TEST_F(DownloadQueueTest, TracksComeInOrderUnderTheirTitlesAndNoFileIsReplaced) {
  PortalCatalogue catalogue;
  catalogue.Add("Song / One", 3000);
  catalogue.Add("Song / One", 2000);
  catalogue.Add(".mp3", 1000);
  BackgroundPortal portal({}, catalogue);
  const int port = portal.Server().Port();
  WriteBytes(folder.File("Song _ One.mp3"), "mine");
  const pid_t ended = fork();
  if (ended == 0) _exit(0);
  waitpid(ended, nullptr, 0);
  WriteBytes(folder.File("x.mp3." + std::to_string(ended) + "-0000abcd.tmp"),
             "a killed download's");
  auto queue = MakeQueue();
  for (int id = 1; id <= 3; ++id)
    queue->Add({TrackLink(port, id), catalogue.Find(id)->title, folder.File("")});
  ASSERT_TRUE(queue->WaitUntilIdle(20000));
  EXPECT_EQ(Ended(), (std::vector<uint64_t>{1, 2, 3}));
  EXPECT_EQ(Files(), (std::vector<std::string>{"Song _ One (2).mp3", "Song _ One (3).mp3",
                                               "Song _ One.mp3", "track.mp3"}))
      << "and a killed download's temporary file is gone";
  EXPECT_EQ(ReadBytes(folder.File("Song _ One.mp3")), "mine");
  EXPECT_EQ(ReadBytes(folder.File("Song _ One (3).mp3")).size(), 2000u);
  EXPECT_EQ(WaitForState(2, State::kDone)->savedPath, folder.File("Song _ One (3).mp3"));
}

TEST_F(DownloadQueueTest, ACancelKeepsThePartialFileAndARetryAsksForTheRest) {
  PortalCatalogue catalogue;
  catalogue.Add("Long", 300000);
  catalogue.Add("Never", 1000);
  PortalOptions slow;
  slow.bytesPerSecond = 300000;
  BackgroundPortal portal(slow, catalogue);
  const int port = portal.Server().Port();
  auto queue = MakeQueue();
  const uint64_t id = queue->Add({TrackLink(port, 1), "Long", folder.File("")});
  const uint64_t queued = queue->Add({TrackLink(port, 2), "Never", folder.File("")});
  queue->Cancel(queued);
  ASSERT_TRUE(WaitFor([&](const TDownloadStatus& s) { return s.id == id && s.received > 60000; }));
  queue->Cancel(id);
  const std::optional<TDownloadStatus> cancelled = WaitForState(id, State::kCancelled);
  ASSERT_TRUE(cancelled);
  ASSERT_EQ(Files().size(), 1u) << "the partial file stays";
  EXPECT_TRUE(Files()[0].ends_with(".tmp"));

  queue->Retry(id);
  ASSERT_TRUE(WaitForState(id, State::kDone));
  auto http = ProgramClient();
  EXPECT_EQ(ReadBytes(folder.File("Long.mp3")), http->Get(TrackLink(port, 1)));
  EXPECT_EQ(Files(), std::vector<std::string>{"Long.mp3"})
      << "the cancelled queued track was never fetched";
  std::vector<std::string> ranges;
  for (const PortalRequest& request : portal.Server().RequestLog())
    if (request.target == "/tracks/1.mp3") ranges.push_back(request.Header("Range"));
  EXPECT_EQ(ranges, (std::vector<std::string>{
                        "", "bytes=" + std::to_string(cancelled->received) + "-", ""}));

  // A partial file deleted meanwhile (by the user, or a cleaner) leaves
  // nothing to go on from: the retry fetches the track anew.
  const uint64_t again = queue->Add({TrackLink(port, 1), "Again", folder.File("")});
  ASSERT_TRUE(
      WaitFor([&](const TDownloadStatus& s) { return s.id == again && s.received > 60000; }));
  queue->Cancel(again);
  ASSERT_TRUE(WaitForState(again, State::kCancelled));
  for (const std::string& name : Files())
    if (name.ends_with(".tmp")) std::filesystem::remove(folder.File(name));
  queue->Retry(again);
  ASSERT_TRUE(WaitForState(again, State::kDone));
  EXPECT_EQ(ReadBytes(folder.File("Again.mp3")), http->Get(TrackLink(port, 1)));
}

// A track's progress counts every byte that came: each chunk of a chunked
// track, and on a slow link the bytes before a whole block has come.
TEST_F(DownloadQueueTest, ProgressCountsEveryByteThatCame) {
  PortalCatalogue catalogue;
  catalogue.Add("Chunked", 900000);
  PortalOptions chunked;
  chunked.bytesPerSecond = 300000;  // in chunks of 15000 bytes
  chunked.chunked = true;
  BackgroundPortal portal(chunked, catalogue);
  LoopbackServer slow(
      Script()
          .ReadHead()
          .Send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + std::string(1000, 'm'))
          .StaySilent(std::chrono::seconds(30)));
  auto queue = MakeQueue();
  const uint64_t inChunks =
      queue->Add({TrackLink(portal.Server().Port(), 1), "Chunked", folder.File("")});
  const uint64_t slowly = queue->Add({BaseURL(slow) + "/t.mp3", "Slow", folder.File("")});
  EXPECT_TRUE(WaitFor([&](const TDownloadStatus& s) {
    return s.id == inChunks && s.state == State::kRunning && s.received > 60000;
  }));
  EXPECT_TRUE(WaitFor([&](const TDownloadStatus& s) {
    return s.id == slowly && s.state == State::kRunning && s.received == 1000;
  }));
}

// A track cancelled while it waits and tried again waits anew, behind the
// tracks queued before; a track removed while it waits is passed over.
TEST_F(DownloadQueueTest, ATrackQueuedAgainWaitsBehindTheOthers) {
  PortalCatalogue catalogue;
  catalogue.Add("Endless", 10000000);
  for (const char* title : {"Second", "Third", "Fourth"}) catalogue.Add(title, 1000);
  PortalOptions slow;
  slow.bytesPerSecond = 100000;
  BackgroundPortal portal(slow, catalogue);
  auto queue = MakeQueue();
  for (int id = 1; id <= 4; ++id)
    queue->Add({TrackLink(portal.Server().Port(), id), catalogue.Find(id)->title, folder.File("")});
  ASSERT_TRUE(WaitFor([](const TDownloadStatus& s) { return s.id == 1 && s.received > 0; }));
  queue->Cancel(2);
  queue->Retry(2);
  queue->Remove(3);
  queue->Cancel(1);
  ASSERT_TRUE(queue->WaitUntilIdle(20000));
  EXPECT_EQ(Ended(), (std::vector<uint64_t>{4, 2}));
  EXPECT_TRUE(WaitForState(3, State::kCancelled)) << "the removed track ends too";
  EXPECT_EQ(Files().size(), 3u) << "Fourth, Second and the cancelled track's partial file";
}

TEST_F(DownloadQueueTest, AServerWithoutRangesSendsItAllAndAFailureLeavesTheRestOfTheQueue) {
  // One connection per request, in the order the queue sends them.
  const std::string close = "Connection: close\r\n";
  LoopbackServer server({
      Script().ReadHead().Send("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n0123").Close(),
      Script().ReadHead().Send(Reply("404 Not Found", "", close)).Close(),
      Script().ReadHead().Send(Reply("200 OK", "second", close)).Close(),
      Script().ReadHead().Send(Reply("200 OK", "0123456789", close)).Close(),
  });
  auto queue = MakeQueue();
  const uint64_t cut = queue->Add({BaseURL(server) + "/1.mp3", "cut", folder.File("")});
  queue->Add({BaseURL(server) + "/2.mp3", "missing", folder.File("")});
  queue->Add({BaseURL(server) + "/3.mp3", "second", folder.File("")});
  ASSERT_TRUE(queue->WaitUntilIdle(20000));
  EXPECT_EQ(Ended(), (std::vector<uint64_t>{1, 2, 3}));
  EXPECT_EQ(WaitForState(cut, State::kFailed)->failure.Utf8(),
            "Файл загружен не полностью: получено 4 из 10 байт.");
  EXPECT_EQ(WaitForState(2, State::kFailed)->failure.Utf8(), "HTTP/1.1 404 Not Found");

  queue->Retry(cut);
  ASSERT_TRUE(WaitForState(cut, State::kDone));
  EXPECT_NE(server.Received(3).find("Range: bytes=4-\r\n"), std::string::npos);
  EXPECT_EQ(ReadBytes(folder.File("cut.mp3")), "0123456789") << "started over";
  EXPECT_EQ(Files(), (std::vector<std::string>{"cut.mp3", "second.mp3"}))
      << "a failure with nothing on the disk keeps no file to continue";
}

// What a retry may get instead of the rest it asks for: a part that stops
// short, the rest of a track that changed, no rest at all (416). It asks
// for the whole track then, and saves nothing but a whole one.
TEST_F(DownloadQueueTest, ARetryTakesOnlyTheRestOfTheSameTrack) {
  const auto reply = [](const std::string& status, const std::string& head,
                        const std::string& bytes) {
    return "HTTP/1.1 " + status + "\r\n" + head +
           "Content-Length: " + std::to_string(bytes.size()) + "\r\n\r\n" + bytes;
  };
  const std::string cut = "HTTP/1.1 200 OK\r\nETag: \"v1\"\r\nContent-Length: 10\r\n\r\n0123";
  const std::string part = "206 Partial Content";
  const struct {
    std::string title, rest, whole, saved;  // nothing saved: the part fails the track
  } cases[] = {
      {"short", reply(part, "Content-Range: bytes 4-6/10\r\n", "456"),
       reply(part, "Content-Range: bytes 0-2/10\r\n", "012"), ""},
      {"changed", reply(part, "Content-Range: bytes 4-11/12\r\n", "EFGHIJKL"),
       reply("200 OK", "", "abcdefghijkl"), "abcdefghijkl"},
      {"shorter", reply("416 Range Not Satisfiable", "Content-Range: bytes */3\r\n", ""),
       reply("200 OK", "", "abc"), "abc"},
  };
  std::vector<std::unique_ptr<LoopbackServer>> servers;
  auto queue = MakeQueue();
  for (const auto& c : cases) {
    servers.push_back(std::make_unique<LoopbackServer>(std::vector<Script>{
        Script().ReadHead().Send(cut).Close(), Script().ReadHead().Send(c.rest).Close(),
        Script().ReadHead().Send(c.whole).Close()}));
    queue->Add({BaseURL(*servers.back()) + "/1.mp3", c.title, folder.File("")});
  }
  ASSERT_TRUE(queue->WaitUntilIdle(20000));
  for (uint64_t id = 1; id <= std::size(cases); ++id) queue->Retry(id);
  ASSERT_TRUE(queue->WaitUntilIdle(20000));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].title);
    EXPECT_NE(servers[i]->Received(1).find("Range: bytes=4-\r\nIf-Range: \"v1\"\r\n"),
              std::string::npos);
    EXPECT_EQ(servers[i]->Received(2).find("Range:"), std::string::npos);
    const std::string saved = folder.File(cases[i].title + ".mp3");
    if (cases[i].saved.empty()) {
      EXPECT_FALSE(std::filesystem::exists(saved));
      EXPECT_TRUE(WaitFor([&](const TDownloadStatus& s) {
        return s.id == i + 1 &&
               s.failure.Utf8() == "Файл загружен не полностью: сервер прислал только часть файла.";
      }));
    } else {
      EXPECT_EQ(ReadBytes(saved), cases[i].saved);
    }
  }
}

// The folder goes while its track downloads: the whole track finds no name,
// and a retry once the folder is back starts it anew.
TEST_F(DownloadQueueTest, ATrackWhoseFolderWentIsFetchedAnewByARetry) {
  PortalCatalogue catalogue;
  catalogue.Add("Song", 300000);
  PortalOptions slow;
  slow.bytesPerSecond = 300000;
  BackgroundPortal portal(slow, catalogue);
  const std::string gone = folder.File("gone");
  std::filesystem::create_directory(gone);
  auto queue = MakeQueue();
  const uint64_t id = queue->Add({TrackLink(portal.Server().Port(), 1), "Song", gone});
  ASSERT_TRUE(WaitFor([&](const TDownloadStatus& s) { return s.received > 0; }));
  std::filesystem::remove_all(gone);
  ASSERT_TRUE(WaitForState(id, State::kFailed));
  std::filesystem::create_directory(gone);
  queue->Retry(id);
  ASSERT_TRUE(WaitForState(id, State::kDone));
  EXPECT_EQ(ReadBytes(gone + "/Song.mp3").size(), 300000u);
}

// A full disk refuses every track after the first: those for it fail at
// once, each with its own name, and send no request.
TEST_F(DownloadQueueTest, AFullDiskFailsTheTracksQueuedForItAtOnce) {
  const std::string small = folder.File("small");
  SmallDiskFolder disk(small);
  if (!disk.Mounted()) GTEST_SKIP() << "this machine mounts no disk for a test";
  PortalCatalogue catalogue;
  catalogue.Add("Big", 200000);
  catalogue.Add("Next", 1000);
  BackgroundPortal portal({}, catalogue);
  auto queue = MakeQueue();
  queue->Add({TrackLink(portal.Server().Port(), 1), "Big", small});
  queue->Add({TrackLink(portal.Server().Port(), 2), "Next", small});
  queue->Add({TrackLink(portal.Server().Port(), 2), "Next", folder.File("")});
  queue->Add({TrackLink(portal.Server().Port(), 2), "Last", small + "/"});
  ASSERT_TRUE(queue->WaitUntilIdle(20000));
  EXPECT_TRUE(WaitForState(3, State::kDone)) << "another folder";
  for (const auto& [id, name] : {std::pair{1, "Big"}, {2, "Next"}, {4, "Last"}}) {
    EXPECT_EQ(
        WaitForState(id, State::kFailed).value_or(TDownloadStatus{}).failure.Utf8(),
        "Не удалось записать файл \"" + small + "/" + name + ".mp3\". No space left on device");
  }
  EXPECT_EQ(portal.Server().RequestLog().size(), 2u);
}

// A server out of reach, or one that takes the request and never answers
// it, fails the tracks queued from it at once, as each would wait as long
// again; those from another server still come.
TEST_F(DownloadQueueTest, AServerOutOfReachOrSilentFailsTheTracksQueuedFromItAtOnce) {
  FullListener unreachable;
  LoopbackServer silent(Script().ReadHead().StaySilent());
  PortalCatalogue catalogue;
  catalogue.Add("Song", 1000);
  BackgroundPortal portal({}, catalogue);
  const auto link = [](int port) { return "http://127.0.0.1:" + std::to_string(port) + "/t.mp3"; };
  // Long enough for a portal slowed by a busy machine.
  auto queue = MakeQueue([](TNetHTTP& http) { http.ReadTimeout = 1000; });
  // The socket stack lives while a client does.
  TNetStack::Instance().SystemConnectTimeoutMs = 200;
  queue->Add({link(unreachable.Port()), "First", folder.File("")});
  queue->Add({TrackLink(portal.Server().Port(), 1), "Song", folder.File("")});
  queue->Add({link(unreachable.Port()), "Second", folder.File("")});
  queue->Add({link(silent.Port()), "Third", folder.File("")});
  queue->Add({link(silent.Port()), "Fourth", folder.File("")});
  ASSERT_TRUE(queue->WaitUntilIdle(20000));
  EXPECT_EQ(Ended(), (std::vector<uint64_t>{1, 3, 2, 4, 5}));
  const std::pair<uint64_t, std::string> failures[] = {
      {1, "Socket Error # 10060\nConnection timed out."},
      {3, "Socket Error # 10060\nConnection timed out."},
      {4, "Read Timeout"},
      {5, "Read Timeout"}};
  for (const auto& [id, failure] : failures)
    EXPECT_EQ(WaitForState(id, State::kFailed).value_or(TDownloadStatus{}).failure.Utf8(), failure);
  EXPECT_EQ(silent.Connections(), 1);
  EXPECT_EQ(Files(), std::vector<std::string>{"Song.mp3"});
}

// A name longer than the folder takes (an encrypted home takes 143 bytes;
// here a folder so deep that the path would pass 4096 bytes) is halved.
TEST_F(DownloadQueueTest, ANameTooLongForTheFolderIsShortened) {
  std::string deep = folder.File("");
  while (deep.size() < 3946)
    deep += std::string(std::min<size_t>(200, 3946 - deep.size()), 'd') + "/";
  std::filesystem::create_directories(deep);
  const std::string title(190, 't');
  const std::string shortened = deep + std::string(95, 't');
  PortalCatalogue catalogue;
  catalogue.Add(title, 1000);
  BackgroundPortal portal({}, catalogue);
  TNetHTTP http;
  TTrackFile file(deep + title + ".mp3");
  file.Receive(http, TrackLink(portal.Server().Port(), 1));
  EXPECT_EQ(file.Path(), shortened + ".mp3") << "saved through the dialog";
  auto queue = MakeQueue();
  queue->Add({TrackLink(portal.Server().Port(), 1), title, deep});
  EXPECT_EQ(WaitForState(1, State::kDone).value_or(TDownloadStatus{}).savedPath,
            shortened + " (2).mp3")
      << "in a batch";
}

// A title with characters the card refuses is saved without them.
TEST_F(DownloadQueueTest, OnAMemoryCardATitleLosesOnlyTheCharactersTheCardRefuses) {
  MemoryCardFolder card(folder.File(""));
  if (!card.Mounted()) GTEST_SKIP() << "this machine mounts no exFAT folder";
  PortalCatalogue catalogue;
  catalogue.Add("Who: \"Why?\"", 1000);
  catalogue.Add("Who: \"Why?\"", 500);
  BackgroundPortal portal({}, catalogue);
  auto queue = MakeQueue();
  for (int id = 1; id <= 2; ++id)
    queue->Add({TrackLink(portal.Server().Port(), id), catalogue.Find(id)->title, card.Path()});
  ASSERT_TRUE(queue->WaitUntilIdle(20000));
  EXPECT_EQ(Ended(), (std::vector<uint64_t>{1, 2}));
  EXPECT_EQ(WaitForState(1, State::kDone).value_or(TDownloadStatus{}).savedPath,
            card.Path() + "/Who_ _Why__.mp3");
  EXPECT_EQ(WaitForState(2, State::kDone).value_or(TDownloadStatus{}).savedPath,
            card.Path() + "/Who_ _Why__ (2).mp3");
  queue.reset();
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(card.Path()), {}), 2);

  // One track saved through the dialog alike, twice: over no file of that name.
  TNetHTTP http;
  for (const char* saved : {"/Who_.mp3", "/Who_ (2).mp3"}) {
    TTrackFile file(card.Path() + "/Who?.mp3");
    file.Receive(http, TrackLink(portal.Server().Port(), 2));
    EXPECT_EQ(file.Path(), card.Path() + saved);
  }
  EXPECT_EQ(ReadBytes(card.Path() + "/Who_.mp3").size(), 500u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(card.Path()), {}), 4);
}

}  // namespace
