// A track is saved only when it arrived whole.

#include "track_download.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "../http/http_test_helpers.h"
#include "../settings/temp_folder.h"
#include "cp1251.h"
#include "files.h"
#include "portal_server.h"
#include "temporary_files.h"

namespace {

using namespace testing_support;

size_t FilesIn(const std::string& folder) {
  return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

// A download elsewhere (in a container sharing the folder, on another
// machine) holding its temporary file while this object lives.
class DownloadElsewhere {
 public:
  explicit DownloadElsewhere(const std::string& path) {
    WriteBytes(path, "a download elsewhere");
    int ready[2];
    EXPECT_EQ(pipe(ready), 0);
    holder_ = fork();
    if (holder_ == 0) {
      MarkTemporaryFileInUse(open(path.c_str(), O_WRONLY));
      (void)!write(ready[1], "!", 1);
      for (;;) pause();
    }
    close(ready[1]);
    char marked;
    (void)!read(ready[0], &marked, 1);  // or the end, should the holder die
    close(ready[0]);
  }
  ~DownloadElsewhere() {
    kill(holder_, SIGKILL);
    waitpid(holder_, nullptr, 0);
  }

 private:
  pid_t holder_;
};

struct FetchCase {
  const char* name;
  std::string reply;    // then the server closes
  std::string outcome;  // the bytes, or "error: " and the message
};

const FetchCase kCases[] = {
    {"with its length", Reply("200 OK", "ID3 track"), "ID3 track"},
    {"shorter than its length", "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nhello",
     "error: Файл загружен не полностью: получено 5 из 10 байт."},
    {"chunked", kChunkedHead + "5\r\nhello\r\n3\r\nabc\r\n0\r\n\r\n", "helloabc"},
    {"chunked, ended before its last chunk", kChunkedHead + "5\r\nhello\r\nzz\r\n\r\n",
     "error: Файл загружен не полностью: сервер прервал передачу после 5 байт."},
    {"until the server closes", "HTTP/1.1 200 OK\r\n\r\nall of it", "all of it"},
};

TEST(TrackDownload, OnlyAWholeTrackIsFetched) {
  for (const FetchCase& c : kCases) {
    LoopbackServer server(Script().ReadHead().Send(c.reply).Close());
    auto http = ProgramClient();
    TMemoryStream buffer;
    std::string outcome;
    try {
      FetchTrack(*http, BaseURL(server) + "/t.mp3", buffer);
      outcome = Contents(buffer);
    } catch (const ETrackIncomplete& e) {
      outcome = "error: " + Cp1251ToUtf8(e.what());
    }
    EXPECT_EQ(outcome, c.outcome) << c.name;
  }
}

// The track file: the body arrives straight in a temporary file, which takes
// the name only when whole. Whatever fails, the file that had the name is
// left as it was and nothing else is left behind, not even what an ended
// process had left; what a download elsewhere holds stays.
TEST(TrackDownload, ATrackFileTakesTheNameOnlyWhenWholeAndLeavesNothingBehind) {
  const std::string track(3 << 20, 'm');
  struct Case {
    const char* name;
    std::string reply;
    std::function<void(TNetHTTP&)> during;  // on the first work event
    rlim_t fileSizeLimit;
    std::string outcome;  // "" for a saved track, else the message
  };
  const Case cases[] = {
      {"whole", Reply("200 OK", track), {}, RLIM_INFINITY, ""},
      {"cut short",
       "HTTP/1.1 200 OK\r\nContent-Length: 4000000\r\n\r\n" + track,
       {},
       RLIM_INFINITY,
       "Файл загружен не полностью: получено 3145728 из 4000000 байт."},
      {"stopped", Reply("200 OK", track), [](TNetHTTP& http) { http.Disconnect(); }, RLIM_INFINITY,
       "Not Connected"},
      {"a write refused",
       Reply("200 OK", track),
       {},
       1 << 20,
       "Не удалось записать файл \"@\". File too large"},
  };
  signal(SIGXFSZ, SIG_IGN);  // a refused write is an error, not the end
  rlimit unlimited{};
  getrlimit(RLIMIT_FSIZE, &unlimited);
  const pid_t ended = fork();
  if (ended == 0) _exit(0);
  waitpid(ended, nullptr, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    const std::string path = folder.File("song.mp3");
    WriteBytes(path, "the file that had the name");
    WriteBytes(path + "." + std::to_string(ended) + "-0000abcd.tmp", "left by a killed download");
    WriteBytes(path + "." + std::to_string(ended) + "-01.tmp", "the user's own, alike");
    const DownloadElsewhere elsewhere(path + "." + std::to_string(ended) + "-0000beef.tmp");
    LoopbackServer server(Script().ReadHead().Send(c.reply).Close());
    auto http = ProgramClient();
    bool stopped = false;
    http->OnWork = [&](TNetComponent*, TWorkMode, int64_t) {
      if (c.during && !stopped) c.during(*http);
      stopped = true;
    };
    rlimit limit = unlimited;
    limit.rlim_cur = c.fileSizeLimit;
    setrlimit(RLIMIT_FSIZE, &limit);
    std::string outcome;
    try {
      TTrackFile(path).Receive(*http, BaseURL(server) + "/t.mp3");
    } catch (const std::exception& e) {
      outcome = ::MessageOf(e).Utf8();
    }
    setrlimit(RLIMIT_FSIZE, &unlimited);
    std::string expected = c.outcome;
    if (const size_t at = expected.find('@'); at != std::string::npos)
      expected.replace(at, 1, path);
    EXPECT_EQ(outcome, expected);
    EXPECT_TRUE(ReadBytes(path) == (c.outcome.empty() ? track : "the file that had the name"));
    EXPECT_EQ(FilesIn(folder.File("")), 3u)
        << "the file that had the name, the user's own and the one in use elsewhere";
  }
  signal(SIGXFSZ, SIG_DFL);
}

// A name free when chosen and taken during the download (a batch saving
// the same title, another window): that file stays, the track is numbered.
TEST(TrackDownload, ANameTakenDuringTheDownloadStaysAndTheTrackIsNumbered) {
  TempFolder folder;
  const std::string path = folder.File("song.mp3");
  LoopbackServer server(Script().ReadHead().Send(Reply("200 OK", "ID3 track")).Close());
  auto http = ProgramClient();
  http->OnWork = [&](TNetComponent*, TWorkMode, int64_t) {
    if (!std::filesystem::exists(path)) WriteBytes(path, "taken meanwhile");
  };
  TTrackFile file(path);
  file.Receive(*http, BaseURL(server) + "/t.mp3");
  EXPECT_EQ(file.Path(), folder.File("song (2).mp3"));
  EXPECT_EQ(ReadBytes(path), "taken meanwhile");
  EXPECT_EQ(ReadBytes(file.Path()), "ID3 track");
}

TEST(TrackDownload, APathThatTakesNoFileFailsBeforeTheRequest) {
  TempFolder folder;
  std::filesystem::create_directory(folder.File("a folder"));
  ASSERT_EQ(mkfifo(folder.File("unread pipe").c_str(), 0600), 0);
  const std::pair<std::string, std::string> cases[] = {
      {"missing/song.mp3", "No such file or directory"},
      {"a folder", "Is a directory"},
      {"unread pipe", "No such device or address"},  // never waited for
  };
  for (const auto& [name, reason] : cases) {
    const std::string path = folder.File(name);
    EXPECT_EQ(MessageOf<EFileError>([&] { TTrackFile{path}; }),
              "Cannot create file \"" + path + "\". " + reason);
  }
}

// A device or a named pipe (/dev/null, a player's pipe) takes the track as
// it comes and is never replaced by a file.
TEST(TrackDownload, APipeTakesTheTrackInItsPlace) {
  TempFolder folder;
  const std::string pipe = folder.File("player");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const int reader = open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
  LoopbackServer server(Script().ReadHead().Send(Reply("200 OK", "ID3 track")).Close());
  TTrackFile file(pipe);
  file.Receive(*ProgramClient(), BaseURL(server) + "/t.mp3");
  char bytes[64];
  const ssize_t count = read(reader, bytes, sizeof bytes);
  close(reader);
  EXPECT_EQ(std::string(bytes, static_cast<size_t>(std::max<ssize_t>(count, 0))), "ID3 track");
  EXPECT_EQ(file.Path(), pipe);
  EXPECT_TRUE(std::filesystem::is_fifo(pipe));
  EXPECT_EQ(FilesIn(folder.File("")), 1u);
}

// A name the file system takes is saved, also when a temporary name beside
// it would be too long: the temporary one is cut, never half a letter.
TEST(TrackDownload, ANameNearTheFileSystemsLimitIsSaved) {
  TempFolder folder;
  std::string name;
  for (int i = 0; i < 125; ++i) name += "я";
  const std::string path = folder.File(name + ".mp3");
  LoopbackServer server(Script().ReadHead().Send(Reply("200 OK", "ID3")).Close());
  auto http = ProgramClient();
  std::string temporary;
  http->OnWork = [&](TNetComponent*, TWorkMode, int64_t) {
    for (const auto& entry : std::filesystem::directory_iterator(folder.File("")))
      temporary = entry.path().filename().string();
  };
  TTrackFile(path).Receive(*http, BaseURL(server) + "/t.mp3");
  EXPECT_EQ(ReadBytes(path), "ID3");
  EXPECT_EQ(FilesIn(folder.File("")), 1u);
  ASSERT_TRUE(temporary.ends_with(".tmp")) << temporary;
  const std::string cut = temporary.substr(0, temporary.find('.'));
  EXPECT_LE(temporary.size(), 255u);
  EXPECT_TRUE(name.starts_with(cut) && cut.size() % 2 == 0) << "whole letters: " << temporary;
}

TEST(TrackDownload, MP3IsAppendedUnlessTheNameEndsSo) {
  const struct {
    const char* chosen;
    const char* saved;
  } cases[] = {{"song", "song.mp3"},       {"song.mp3", "song.mp3"}, {"SONG.Mp3", "SONG.Mp3"},
               {"song.mp", "song.mp.mp3"}, {"mp3", "mp3.mp3"},       {".mp3", ".mp3"}};
  for (const auto& c : cases) EXPECT_EQ(SavedTrackPath(c.chosen), c.saved) << c.chosen;
}

// A signal ends a terminal tool's download without a trace.
TEST(TrackDownload, ASignalToATerminalToolRemovesItsTemporaryFile) {
  PortalCatalogue catalogue;
  catalogue.Add("Slow Song", 100 << 20);
  PortalOptions slow;
  slow.bytesPerSecond = 1 << 20;
  BackgroundPortal portal(slow, catalogue);
  const std::string port = std::to_string(portal.Server().Port());
  for (const std::string tool : {MELODROP_CLI, MELODROP_GET}) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
      TempFolder folder;
      const std::string path = folder.File("song.mp3");
      WriteBytes(path, "the user's file");
      const pid_t child = fork();
      if (child == 0) {
        freopen("/dev/null", "w", stdout);
        freopen("/dev/null", "w", stderr);
        if (tool == MELODROP_CLI)
          execl(MELODROP_CLI, MELODROP_CLI, "--port", port.c_str(), "get", "slow", "1",
                path.c_str(), nullptr);
        execl(MELODROP_GET, MELODROP_GET, "-o", path.c_str(),
              ("http://127.0.0.1:" + port + "/tracks/1.mp3").c_str(), nullptr);
        _exit(127);
      }
      for (int i = 0; i < 4000 && FilesIn(folder.File("")) < 2; ++i) usleep(5000);
      kill(child, signal);
      int status = 0;  // each wait bounded to 20 s
      for (int i = 0; i < 4000 && waitpid(child, &status, WNOHANG) == 0; ++i) usleep(5000);
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << tool << signal;
      kill(child, SIGKILL);
      EXPECT_EQ(FilesIn(folder.File("")), 1u) << tool << signal;
      EXPECT_EQ(ReadBytes(path), "the user's file");
    }
  }
}

// A queue keeps a partial file for every cut track of a batch: a signal
// removes them all, in every folder, however many there are, but not a
// file in use elsewhere whose name holds the same process id (a container's
// ids are small and alike).
TEST(TrackDownload, ASignalRemovesEveryPartialFileOfABatch) {
  const struct {
    int signal;
    bool ignoredBefore;  // as nohup leaves SIGHUP
  } cases[] = {{SIGINT, false},  {SIGTERM, false}, {SIGHUP, false},
               {SIGPIPE, false}, {SIGQUIT, false}, {SIGHUP, true}};
  for (const auto& [signal, ignoredBefore] : cases) {
    TempFolder folder;
    const std::string songs = folder.File("Музыка/");
    const std::string other = folder.File("other/");
    std::filesystem::create_directory(songs);
    std::filesystem::create_directory(other);
    WriteBytes(songs + "song 1.mp3", "the user's file");
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    const pid_t child = fork();
    if (child == 0) {
      const rlimit noCore{0, 0};  // SIGQUIT leaves no core file behind either
      setrlimit(RLIMIT_CORE, &noCore);
      // As a fresh process has it (this one's portals ignore SIGPIPE).
      std::signal(signal, ignoredBefore ? SIG_IGN : SIG_DFL);
      RemoveTemporaryFilesOnSignals();
      std::vector<std::unique_ptr<TReplacingFile>> partials;
      for (int i = 1; i <= 40; ++i)
        partials.push_back(
            std::make_unique<TReplacingFile>(songs + "song " + std::to_string(i) + ".mp3"));
      partials.push_back(std::make_unique<TReplacingFile>(other + "song.mp3"));
      close(go[1]);
      char marked;
      (void)!read(go[0], &marked, 1);
      std::raise(signal);
      _exit(0);
    }
    const DownloadElsewhere elsewhere(songs + "song 2.mp3." + std::to_string(child) +
                                      "-0000beef.tmp");
    close(go[0]);
    (void)!write(go[1], "!", 1);
    close(go[1]);
    int status = 0;  // bounded to 20 s
    for (int i = 0; i < 4000 && waitpid(child, &status, WNOHANG) == 0; ++i) usleep(5000);
    kill(child, SIGKILL);
    if (ignoredBefore) {
      EXPECT_TRUE(WIFEXITED(status)) << "a signal the caller ignores stays ignored";
      continue;
    }
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
    EXPECT_EQ(FilesIn(songs), 2u) << signal << ": the user's file and the one in use elsewhere";
    EXPECT_EQ(FilesIn(other), 0u) << signal;
    EXPECT_EQ(ReadBytes(songs + "song 1.mp3"), "the user's file");
  }
}

}  // namespace
