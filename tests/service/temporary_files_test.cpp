// No temporary file outlives a download: a signal to the terminal tools
// removes it, and what an ended process left goes at the next download there.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "../http/http_test_helpers.h"
#include "../settings/temp_folder.h"
#include "portal_server.h"
#include "track_download.h"

namespace {

using namespace testing_support;

size_t FilesIn(const std::string& folder) {
  return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

TEST(TemporaryFiles, ADownloadRemovesWhatEndedProcessesLeftAndTakesAFreshName) {
  TempFolder folder;
  const pid_t ended = fork();
  if (ended == 0) _exit(0);
  waitpid(ended, nullptr, 0);
  const std::string live = std::to_string(getpid()), dead = std::to_string(ended);
  // Kept: not of this naming, or of a process that runs; every name the old
  // naming would have tried is taken.
  for (int i = 0; i < 100; ++i)
    WriteBytes(folder.File("a.mp3." + live + "-" + std::to_string(i) + ".tmp"), "");
  WriteBytes(folder.File("notes." + dead + "-01.tmp"), "");
  WriteBytes(folder.File("a.mp3." + dead + "-0000abcd.tmp"), "");
  WriteBytes(folder.File("b.mp3." + dead + "-9f3a0b1c.tmp"), "");
  LoopbackServer server(Script().ReadHead().Send(Reply("200 OK", "track")));
  TTrackFile(folder.File("a.mp3")).Receive(*ProgramClient(), BaseURL(server) + "/t.mp3");
  EXPECT_EQ(ReadBytes(folder.File("a.mp3")), "track");
  EXPECT_EQ(FilesIn(folder.File("")), 102u);
}

TEST(TemporaryFiles, ASignalToATerminalToolRemovesItsTemporaryFile) {
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

}  // namespace
