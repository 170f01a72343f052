// A track server that lies, loops, floods or never ends: the download fails
// with the client's error and the file that had the name stays as it was,
// or the track is saved whole; nothing is sent that the link did not mean.
// Each case runs through the client and through `melodrop-cli get`.

#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>

#include "../http/http_test_helpers.h"
#include "../settings/temp_folder.h"
#include "cli_command.h"
#include "portal_pages.h"
#include "track_download.h"

namespace {

using namespace testing_support;

const std::string kUsersFile = "the user's own file";

Script Once(const std::string& reply) {
  return Script().ReadHead().Send(reply).Close();
}

Script Repeated(const std::string& reply, int times) {
  Script script;
  for (int i = 0; i < times; ++i) script.ReadHead().Send(reply);
  return script;
}

std::string Redirect(const std::string& location, const std::string& more = "") {
  return "HTTP/1.1 302 Found\r\nLocation: " + location + "\r\n" + more +
         "Content-Length: 0\r\n\r\n";
}

// 14 redirects on one connection, each setting 990 new cookies, then the track.
Script CookieFlood() {
  Script script;
  for (int r = 0; r < 14; ++r) {
    std::string cookies;
    for (int c = 0; c < 990; ++c) {
      cookies += "Set-Cookie: c" + std::to_string(r) + "_" + std::to_string(c) + "=v\r\n";
    }
    script.ReadHead().Send(Redirect("/tracks/1.mp3", cookies));
  }
  return script.ReadHead().Send(Reply("200 OK", "whole")).Close();
}

const std::string kEndless(20 << 20, 'x');

struct HostileCase {
  const char* name;
  std::vector<Script> track;  // the track server's connections
  std::string outcome;        // the bytes saved, or "error: " and the message
  std::string linkPath = "";  // put before "/tracks/1.mp3" in the link
  std::string neverSent = "";
  size_t sentAtMost = 64 << 10;
};

const HostileCase kCases[] = {
    {"a length over 2 GiB, cut short",
     {Once("HTTP/1.1 200 OK\r\nContent-Length: 3000000000\r\n\r\nID3")},
     "error: Файл загружен не полностью: получено 3 из 3000000000 байт."},
    {"a length over 32 bits, cut short",
     {Once("HTTP/1.1 200 OK\r\nContent-Length: 99999999999\r\n\r\nID3")},
     "error: Файл загружен не полностью: получено 3 из 99999999999 байт."},
    {"a negative length",
     {Once("HTTP/1.1 200 OK\r\nContent-Length: -5\r\n\r\nID3")},
     "error: Invalid Content-Length"},
    {"a redirect to itself",
     {Repeated(Redirect("/tracks/1.mp3"), 15)},
     "error: Too many redirects."},
    {"a redirect loop over new connections",
     {Once(Redirect("/tracks/1.mp3", "Connection: close\r\n"))},
     "error: Too many redirects."},
    {"chunked with a length too",
     {Once("HTTP/1.1 200 OK\r\nContent-Length: 20\r\nTransfer-Encoding: chunked\r\n\r\n"
           "5\r\nhello\r\n0\r\n\r\n")},
     "hello"},
    {"CR LF in the link",
     {Once(Reply("404 Not Found", ""))},
     "error: HTTP/1.1 404 Not Found",
     "/a\r\nX: 1\r\n\r\nGET /smuggled",
     "\r\nX: 1"},
    {"a redirect to a file",
     {Once(Redirect("file:///etc/passwd"))},
     "error: Unsupported protocol \"file\".",
     "",
     "passwd"},
    {"a redirect to ftp",
     {Once(Redirect("ftp://127.0.0.1/pub"))},
     "error: Unsupported protocol \"ftp\".",
     "",
     "/pub"},
    {"a cookie flood", {CookieFlood()}, "whole", "", "", 32 << 10},
    {"an error with an endless body",
     {Script().ReadHead().Send("HTTP/1.1 500 Internal Server Error\r\n\r\n" + kEndless)},
     "error: HTTP/1.1 500 Internal Server Error"},
    {"a redirect with an endless body",
     {Script().ReadHead().Send("HTTP/1.1 302 Found\r\nLocation: /tracks/1.mp3\r\n\r\n" + kEndless),
      Once(Reply("200 OK", "whole"))},
     "whole"},
};

std::string Link(const LoopbackServer& track, const HostileCase& c) {
  return BaseURL(track) + c.linkPath + "/tracks/1.mp3";
}

std::string ThroughTheClient(const HostileCase& c, LoopbackServer& track, const std::string& path) {
  auto http = ProgramClient();
  try {
    TTrackFile(path).Receive(*http, Link(track, c));
    return ReadBytes(path);
  } catch (const std::exception& e) {
    return "error: " + Cp1251ToUtf8(e.what());
  }
}

// A portal whose one search result links to the track server.
std::string ThroughTheCli(const HostileCase& c, LoopbackServer& track, const std::string& path) {
  PortalCatalogue catalogue;
  catalogue.Add("Song", 1);
  const std::vector<const PortalTrack*> found = {&catalogue.Tracks().front()};
  const std::string origin = BaseURL(track) + c.linkPath;
  const std::string login =
      Reply("200 OK", "in", "Set-Cookie: Mpop=1; path=/\r\nConnection: close\r\n");
  LoopbackServer portal(
      {Once(login),
       Script()
           .ReadHead()
           .Send(Reply("200 OK", portal_pages::ResultPage(found, 1, true, origin)))
           .ReadHead()
           .Send(Reply("200 OK", portal_pages::ResultPage(found, 1, false, origin))),
       Once(Reply("200 OK", "out"))});
  std::ostringstream out, err;
  const int status = RunCliCommand(
      {"--port", std::to_string(portal.Port()), "get", "song", "1", path}, out, err, false);
  if (status == 0) return ReadBytes(path);
  std::string message = err.str();
  if (!message.empty() && message.back() == '\n') message.pop_back();
  return "error: " + message;
}

TEST(HostileTrackServer, NothingSavedThatDidNotArriveWholeNothingSentThatWasNotMeant) {
  for (const auto& through : {ThroughTheClient, ThroughTheCli}) {
    for (const HostileCase& c : kCases) {
      SCOPED_TRACE(std::string(c.name) + (through == ThroughTheCli ? ", melodrop-cli" : ""));
      TempFolder folder;
      const std::string path = folder.File("song.mp3");
      WriteBytes(path, kUsersFile);
      LoopbackServer track(c.track);
      EXPECT_EQ(through(c, track, path), c.outcome);
      const bool saved = c.outcome.rfind("error: ", 0) != 0;
      EXPECT_EQ(ReadBytes(path), saved ? c.outcome : kUsersFile);
      EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.File("")),
                              std::filesystem::directory_iterator()),
                1)
          << "no temporary file left";
      const std::string sent = track.Received();
      if (!c.neverSent.empty()) {
        EXPECT_EQ(sent.find(c.neverSent), std::string::npos) << sent;
      }
      EXPECT_LE(sent.size(), c.sentAtMost);
    }
  }
}

}  // namespace
