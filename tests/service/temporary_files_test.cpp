// Whatever ends a download, no temporary file stays behind: a signal to the
// terminal tools removes it, and a file that a killed process left goes at
// the next download into its folder.

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "../http/http_test_helpers.h"
#include "../settings/temp_folder.h"
#include "portal_server.h"
#include "support/child_process.h"
#include "track_download.h"

namespace {

using namespace testing_support;
namespace fs = std::filesystem;

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The id of a process that has ended (and been reaped).
pid_t EndedProcess() {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  waitpid(child, nullptr, 0);
  return child;
}

TEST(TemporaryFiles, ADownloadRemovesWhatEndedProcessesLeftAndTakesAFreshName) {
  TempFolder folder;
  const std::string dead = std::to_string(EndedProcess());
  const std::string alive = std::to_string(getpid());
  const std::vector<std::string> kept = {"notes.tmp", "song.mp3." + alive + "-0.tmp",
                                         "song.mp3.x-0.tmp"};
  for (const std::string& name : kept) WriteBytes(folder.File(name), "kept");
  for (const std::string& name : {"song.mp3." + dead + "-0.tmp", "old.mp3." + dead + "-9f3a.tmp"}) {
    WriteBytes(folder.File(name), "left by a killed download");
  }
  // Every name the old naming would try is taken.
  for (int i = 1; i < 100; ++i)
    WriteBytes(folder.File("song.mp3." + alive + "-" + std::to_string(i) + ".tmp"), "");

  LoopbackServer server(Script().ReadHead().Send(Reply("200 OK", "track")).Close());
  auto http = ProgramClient();
  TTrackFile(folder.File("song.mp3")).Receive(*http, BaseURL(server) + "/t.mp3");

  EXPECT_EQ(ReadBytes(folder.File("song.mp3")), "track");
  std::vector<std::string> names = Names(folder.File(""));
  EXPECT_EQ(names.size(), kept.size() + 99 + 1);
  for (const std::string& name : kept) {
    EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
  }
  for (const std::string& name : names) EXPECT_EQ(name.find(dead), std::string::npos) << name;
}

struct Tool {
  const char* name;
  std::vector<std::string> args;  // "@" stands for the port, "#" for the file
};

bool WaitForTemporaryFile(const std::string& folder) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < deadline) {
    for (const std::string& name : Names(folder)) {
      if (name.size() > 4 && name.substr(name.size() - 4) == ".tmp") return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

TEST(TemporaryFiles, ASignalToATerminalToolRemovesItsTemporaryFile) {
  PortalCatalogue catalogue;
  catalogue.Add("Slow Song", 100 << 20);
  PortalOptions slow;
  slow.bytesPerSecond = 1 << 20;  // a download of 100 s, ended long before
  BackgroundPortal portal(slow, catalogue);
  const std::string port = std::to_string(portal.Server().Port());
  const Tool tools[] = {
      {"melodrop-cli get", {MELODROP_CLI, "--port", port, "get", "slow", "1", "#"}},
      {"melodrop-get -o", {MELODROP_GET, "-o", "#", "http://127.0.0.1:" + port + "/tracks/1.mp3"}},
  };
  for (const Tool& tool : tools) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
      SCOPED_TRACE(std::string(tool.name) + ", " + strsignal(signal));
      TempFolder folder;
      const std::string path = folder.File("song.mp3");
      WriteBytes(path, "the user's own file");
      std::vector<std::string> args = tool.args;
      std::replace(args.begin(), args.end(), std::string("#"), path);
      const pid_t pid = Spawn(args);
      ASSERT_GT(pid, 0);
      ASSERT_TRUE(WaitForTemporaryFile(folder.File("")));
      kill(pid, signal);
      const int status = EndOf(pid);
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
      EXPECT_EQ(Names(folder.File("")), std::vector<std::string>{"song.mp3"});
      EXPECT_EQ(ReadBytes(path), "the user's own file");
    }
  }
}

}  // namespace
