#include "get_command.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "http_test_helpers.h"
#include "support/raw_sockets.h"

namespace {

using namespace testing_support;

struct CommandRun {
  int status;
  std::string out;
  std::string err;
};

CommandRun RunWith(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = RunGetCommand(args, out, err);
  return {status, out.str(), err.str()};
}

TEST(GetCommand, PostsTheFieldsToTheFirstURLAndGetsTheRestOnOneClient) {
  LoopbackServer server(Script()
                            .ReadHead()
                            .ReadBytes(7)
                            .Send(Reply("200 OK", "in;", "Connection: keep-alive\r\n"))
                            .ReadHead()
                            .Send(Reply("200 OK", "page")));
  const CommandRun run =
      RunWith({"-d", "a=1 2", "--events", BaseURL(server) + "/login", BaseURL(server) + "/page"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "in;page");
  EXPECT_EQ(run.err,
            "begin write 7\nwork write 7\nend write\nbegin read 3\nwork read 3\nend read\n"
            "begin read 4\nwork read 4\nend read\n");
  EXPECT_NE(server.Received().find("\r\n\r\na=1%202GET /page"), std::string::npos);
  EXPECT_EQ(server.Connections(), 1);
}

// The body takes the file's name only once complete; a failed one leaves
// the file as it was, and nothing beside it.
TEST(GetCommand, WritesTheBodyToAFileOnlyWhenItIsWhole) {
  LoopbackServer server(
      {Script().ReadHead().Send(Reply("200 OK", std::string("\0mp3", 4))),
       Script().ReadHead().Send("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\ncut").Close()});
  const std::string folder = ::testing::TempDir() + "melodrop_get_test";
  std::filesystem::create_directory(folder);
  const std::string path = folder + "/t.mp3";
  EXPECT_EQ(RunWith({"-o", path, BaseURL(server) + "/t.mp3"}).status, 0);
  const auto contents = [&] {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
  };
  EXPECT_EQ(contents(), std::string("\0mp3", 4));
  EXPECT_EQ(RunWith({"-o", path, BaseURL(server) + "/t.mp3"}).status, 1);
  EXPECT_EQ(contents(), std::string("\0mp3", 4));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                          std::filesystem::directory_iterator()),
            1);
  std::filesystem::remove_all(folder);
}

TEST(GetCommand, AFailedURLIsReportedAndTheNextOneStillRuns) {
  LoopbackServer server(Script()
                            .ReadHead()
                            .Send(Reply("404 \x1b]0;pwned\x07Not Found", ""))
                            .ReadHead()
                            .Send(Reply("200 OK", "page")));
  const std::string missing = BaseURL(server) + "/missing";
  const CommandRun run = RunWith({missing, BaseURL(server) + "/page"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "page");
  EXPECT_EQ(run.err, missing + ": HTTP/1.1 404 \\x1b]0;pwned\\x07Not Found\n") << "one safe line";
}

// An output that takes nothing (a full disk) fails the run at once.
TEST(GetCommand, AnOutputThatRefusesBytesEndsTheRun) {
  LoopbackServer server(Script().ReadHead().Send(Reply("200 OK", std::string(1 << 20, 'x'))));
  std::ostream refusing(nullptr);
  std::ostringstream err;
  EXPECT_EQ(RunGetCommand({BaseURL(server) + "/a", BaseURL(server) + "/b"}, refusing, err), 1);
  EXPECT_EQ(err.str(), "Cannot write the output.\n");
  EXPECT_EQ(server.Received().find("GET /b"), std::string::npos);
}

TEST(GetCommand, WrongArgumentsSayWhyAndShowTheUsageAndAskedForItIsNoError) {
  const CommandRun help = RunWith({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.starts_with("usage: melodrop-get ")) << help.out;
  EXPECT_EQ(help.err, "");
  const std::vector<std::pair<std::vector<std::string>, std::string>> refused{
      {{}, "no URL"},
      {{"-o", "a", "http://x/", "http://y/"}, "-o takes one URL, not several"},
      {{"--bogus", "http://x/"}, "no option \"--bogus\""},
      {{"http://x/", "-d"}, "-d takes a value"},
      {{"-o", "", "http://x/"}, "-o takes a file name, not nothing"},
  };
  for (const auto& [args, why] : refused) {
    const CommandRun run = RunWith(args);
    EXPECT_EQ(run.status, 2) << why;
    EXPECT_EQ(run.err, "melodrop-get: " + why + "\n" + help.out);
  }
  const CommandRun version = RunWith({"--version"});
  EXPECT_EQ(version.out, "melodrop-get " MELODROP_VERSION "\n");
  EXPECT_EQ(version.status, 0);
}

}  // namespace
