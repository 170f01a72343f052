// A track server that lies, loops, floods or never ends, through the client
// and through `melodrop-cli get`: the track is saved whole, or the download
// fails and the user's file stays; nothing is sent that the link did not mean.
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

std::string Redirect(const std::string& to, const std::string& more = "") {
  return "HTTP/1.1 302 Found\r\nLocation: " + to + "\r\n" + more + "Content-Length: 0\r\n\r\n";
}

// 14 redirects on one connection setting 990 cookies each, then the track.
Script CookieFlood() {
  Script script;
  for (int r = 0; r < 14; ++r) {
    std::string cookies;
    for (int c = 0; c < 990; ++c)
      cookies += "Set-Cookie: c" + std::to_string(r * 1000 + c) + "=v\r\n";
    script.ReadHead().Send(Redirect("/tracks/1.mp3", cookies));
  }
  return script.ReadHead().Send(Reply("200 OK", "whole"));
}

struct HostileCase {
  const char* name;
  Script track;         // the track server's every connection
  std::string outcome;  // the bytes saved, or "error: " and the message
  std::string linkPath = "";
  std::string neverSent = "\r\nX: 1";
};

const HostileCase kCases[] = {
    {"over 2 GiB, cut short",
     Script().ReadHead().Send("HTTP/1.1 200 OK\r\nContent-Length: 3000000000\r\n\r\nID3").Close(),
     "error: Файл загружен не полностью: получено 3 из 3000000000 байт."},
    {"a negative length",
     Script().ReadHead().Send("HTTP/1.1 200 OK\r\nContent-Length: -5\r\n\r\nID3").Close(),
     "error: Invalid Content-Length"},
    {"a redirect loop",
     Script().ReadHead().Send(Redirect("/tracks/1.mp3", "Connection: close\r\n")).Close(),
     "error: Too many redirects."},
    {"chunked with a length",
     Script().ReadHead().Send("HTTP/1.1 200 OK\r\nContent-Length: 20\r\nTransfer-Encoding: "
                              "chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n"),
     "hello"},
    {"a chunk longer than its size",
     Script().ReadHead().Send(kChunkedHead + "5\r\nhelloEXTRA\r\n0\r\n\r\n"),
     "error: Файл загружен не полностью: сервер прервал передачу после 5 байт."},
    {"CR LF in the link", Script().ReadHead().Send(Reply("404 Not Found", "")).Close(),
     "error: HTTP/1.1 404 Not Found", "/a\r\nX: 1\r\n\r\nGET /smuggled"},
    {"a redirect to a file", Script().ReadHead().Send(Redirect("file:///etc/passwd")).Close(),
     "error: Unsupported protocol \"file\".", "", "passwd"},
    {"a cookie flood", CookieFlood(), "whole", "", "c2000=v"},
    {"a part unasked",
     Script().ReadHead().Send("HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 0-2/10\r\n"
                              "Content-Length: 3\r\n\r\nID3"),
     "error: Файл загружен не полностью: сервер прислал только часть файла."},
    {"a login page for the track",
     Script().ReadHead().Send(
         Reply("200 OK", "<html>login</html>", "Content-Type: Text/HTML; charset=utf-8\r\n")),
     "error: Сервер прислал веб-страницу вместо файла."},
    {"the whole as a part",
     Script().ReadHead().Send("HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 0-4/5\r\n"
                              "Content-Length: 5\r\n\r\nwhole"),
     "whole"},
    {"a gzip coding unasked",
     Script().ReadHead().Send(Reply("200 OK", "\x1f\x8b\x08", "Content-Encoding: gzip\r\n")),
     "error: Сервер прислал файл в сжатом виде, программа его не распаковывает."},
    {"a gzip transfer coding",
     Script().ReadHead().Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: GZip , chunked\r\n\r\n"
                              "3\r\n\x1f\x8b\x08\r\n0\r\n\r\n"),
     "error: Сервер прислал файл в сжатом виде, программа его не распаковывает."},
    {"the whole as a part, cut before its close",
     Script().ReadHead().Send(
         "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 0-4/5\r\n\r\nwho"),
     "error: Файл загружен не полностью: получено 3 из 5 байт."},
    {"a part shorter than its range",
     Script().ReadHead().Send("HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 0-4/5\r\n"
                              "Content-Length: 3\r\n\r\nwho"),
     "error: Файл загружен не полностью: получено 3 из 5 байт."},
    {"an empty body", Script().ReadHead().Send(Reply("200 OK", "")),
     "error: Сервер прислал пустой файл."},
    {"no content", Script().ReadHead().Send("HTTP/1.1 204 No Content\r\n\r\n"),
     "error: Сервер прислал пустой файл."},
    {"cut before its first byte",
     Script().ReadHead().Send("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n").Close(),
     "error: Файл загружен не полностью: получено 0 из 10 байт."},
    {"an empty body without a length",
     Script().ReadHead().Send("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n").Close(),
     "error: Сервер прислал пустой файл."},
    {"an error body without end",
     Script().ReadHead().Send("HTTP/1.1 500 Internal Server Error\r\n\r\n" +
                              std::string(20 << 20, 'x')),
     "error: HTTP/1.1 500 Internal Server Error"},
};

std::string ThroughTheClient(const std::string& link, const std::string& path) {
  try {
    TTrackFile(path).Receive(*ProgramClient(), link);
    return ReadBytes(path);
  } catch (const std::exception& e) {
    return "error: " + Cp1251ToUtf8(e.what());
  }
}

// A portal whose one search result links to the track.
std::string ThroughTheCli(const std::string& link, const std::string& path) {
  PortalCatalogue catalogue;
  catalogue.Add("Song", 1);
  const std::vector<const PortalTrack*> found = {&catalogue.Tracks().front()};
  const std::string origin = link.substr(0, link.size() - std::string("/tracks/1.mp3").size());
  const auto page = [&](bool first) {
    return Reply("200 OK", portal_pages::ResultPage(found, 1, first, origin));
  };
  LoopbackServer portal({Script().ReadHead().Send(Reply(
                             "200 OK", "", "Set-Cookie: Mpop=1; path=/\r\nConnection: close\r\n")),
                         Script().ReadHead().Send(page(true)).ReadHead().Send(page(false)),
                         Script().ReadHead().Send(Reply("200 OK", ""))});
  std::ostringstream out, err;
  if (RunCliCommand({"--port", std::to_string(portal.Port()), "get", "song", "1", path}, out, err,
                    false) == 0) {
    return ReadBytes(path);
  }
  return "error: " + err.str().substr(0, err.str().size() - 1);
}

TEST(HostileTrackServer, NothingSavedThatDidNotArriveWholeNothingSentThatWasNotMeant) {
  for (const auto& through : {ThroughTheClient, ThroughTheCli}) {
    for (const HostileCase& c : kCases) {
      SCOPED_TRACE(std::string(c.name) + (through == ThroughTheCli ? " (melodrop-cli)" : ""));
      TempFolder folder;
      WriteBytes(folder.File("song.mp3"), "the user's file");
      LoopbackServer track(c.track);
      EXPECT_EQ(through(BaseURL(track) + c.linkPath + "/tracks/1.mp3", folder.File("song.mp3")),
                c.outcome);
      EXPECT_EQ(ReadBytes(folder.File("song.mp3")),
                c.outcome.rfind("error: ", 0) == 0 ? "the user's file" : c.outcome);
      EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.File("")), {}), 1)
          << "a temporary file left";
      EXPECT_EQ(track.Received().find(c.neverSent), std::string::npos);
    }
  }
}

}  // namespace
