// How the client reads, judges and frames responses.

#include <gtest/gtest.h>

#include "cp1251.h"
#include "http_test_helpers.h"
#include "support/recording_cookie_store.h"
#include "support/work_event_log.h"

namespace {

using namespace testing_support;
using Lines = std::vector<std::string>;

Script RepliesInTurn(const std::vector<std::string>& replies) {
  Script script;
  for (const std::string& reply : replies) script.ReadHead().Send(reply);
  return script;
}

// --- Redirects --------------------------------------------------------------

TEST(HttpRedirects, ARelative302ToAPostRepeatsThePostWithItsBody) {
  const std::string body = "Login=u&Domain=d&Password=p";
  LoopbackServer server(
      {Script()
           .ReadHead()
           .ReadBytes(body.size())
           .Send(Reply("302 Found", "moved", "Set-Cookie: session=1\r\nLocation: next?step=2\r\n")),
       Script().ReadHead().ReadBytes(body.size()).Send(Reply("200 OK", "welcome"))});
  auto http = ProgramClient();
  RecordingCookieStore cookies;
  http->SetCookieManager(&cookies);
  WorkEventLog log(*http);
  std::vector<std::string> fields = {"Login=u", "Domain=d", "Password=p"};
  EXPECT_EQ(http->Post(BaseURL(server) + "/cgi-bin/auth", fields), "welcome");
  EXPECT_EQ(server.Connections(), 2) << "HTTP/1.0 without keep-alive: a new connection";
  EXPECT_EQ(server.Received(1).substr(0, 36), "POST /cgi-bin/next?step=2 HTTP/1.0\r\n");
  EXPECT_EQ(server.Received(1).substr(server.Received(1).size() - body.size()), body);
  EXPECT_EQ(cookies.calls[1], "Set-cookie session=1 @127.0.0.1")
      << "stored before the repeated post is built";
  EXPECT_EQ(log.lines, (Lines{"begin write 27", "work write 27", "end write", "begin read 5",
                              "work read 5", "end read", "begin write 27", "work write 27",
                              "end write", "begin read 7", "work read 7", "end read"}));
}

TEST(HttpRedirects, FifteenInARowFailTheCallAndTheNextCallFollowsAgain) {
  std::vector<std::string> replies(15, Reply("302 Found", "", "Location: /again\r\n"));
  for (int i = 0; i < 14; ++i) replies.push_back(Reply("302 Found", "", "Location: /again\r\n"));
  replies.push_back(Reply("200 OK", "arrived"));
  LoopbackServer server(RepliesInTurn(replies));
  auto http = ProgramClient();
  TMemoryStream stream;
  stream.Write("kept", 4);
  EXPECT_EQ(MessageOf([&] { http->Get(BaseURL(server) + "/start", stream); }),
            "Too many redirects.");
  EXPECT_EQ(Contents(stream), "kept") << "nothing from the 15th redirect";
  EXPECT_EQ(http->Response().Location, "/again");
  EXPECT_EQ(http->RedirectCount(), 0);
  EXPECT_EQ(http->Get(BaseURL(server) + "/start"), "arrived") << "14 redirects followed";
  EXPECT_EQ(server.Connections(), 1);
}

// A Location may name another host without a scheme, or a new query alone.
TEST(HttpRedirects, ALocationOfAnotherHostOrQueryIsReadAgainstTheCurrentURL) {
  LoopbackServer other(Script().ReadHead().Send(Reply("200 OK", "there")));
  const std::string elsewhere = "//127.0.0.1:" + std::to_string(other.Port()) + "/other";
  LoopbackServer server(RepliesInTurn({Reply("302 Found", "", "Location: ?b=2\r\n"),
                                       Reply("302 Found", "", "Location: #top\r\n"),
                                       Reply("302 Found", "", "Location: " + elsewhere + "\r\n")}));
  auto http = ProgramClient();
  EXPECT_EQ(http->Get(BaseURL(server) + "/a/doc?a=1"), "there");
  std::string asked;
  for (size_t line = server.Received().find("GET "); line != std::string::npos;
       line = server.Received().find("GET ", line + 1))
    asked += server.Received().substr(line, server.Received().find(' ', line + 4) - line) + ";";
  EXPECT_EQ(asked, "GET /a/doc?a=1;GET /a/doc?b=2;GET /a/doc?b=2;");
  EXPECT_EQ(other.Received().substr(0, 21), "GET /other HTTP/1.1\r\n");
}

TEST(HttpRedirects, ARefusedRedirectFailsTheCall) {
  LoopbackServer server(Script().ReadHead().Send(Reply("301 Moved", "x", "Location: /y\r\n")));
  auto http = ProgramClient();
  http->OnRedirect = [](TNetComponent*, std::string&, TNetHTTPMethod&, bool& handled) {
    handled = false;
  };
  EXPECT_EQ(MessageOf([&] { http->Get(BaseURL(server) + "/"); }), "HTTP/1.1 301 Moved");
}

// --- Error statuses ---------------------------------------------------------

TEST(HttpErrors, A404KeepsItsBodyAndLeavesTheStreamAlone) {
  LoopbackServer server(Script().ReadHead().Send(Reply("404 Not Found", "no such page")));
  auto http = ProgramClient();
  TMemoryStream stream;
  stream.Write("before", 6);
  try {
    http->Get(BaseURL(server) + "/missing", stream);
    FAIL();
  } catch (const ENetHTTPProtocolException& e) {
    EXPECT_STREQ(e.what(), "HTTP/1.1 404 Not Found");
    EXPECT_EQ(e.ErrorCode(), 404);
    EXPECT_EQ(e.ErrorMessage(), "no such page");
  }
  EXPECT_EQ(Contents(stream), "before");
}

TEST(HttpErrors, AFailedPostLeavesHttp11ForTheNextGet) {
  LoopbackServer server(
      {Script().ReadHead().ReadBytes(3).Send(Reply("500 Internal Server Error", "")),
       Script().ReadHead().Send(Reply("200 OK", "fine"))});
  auto http = ProgramClient();
  std::vector<std::string> fields = {"a=1"};
  EXPECT_EQ(MessageOf([&] { http->Post(BaseURL(server) + "/", fields); }),
            "HTTP/1.1 500 Internal Server Error");
  EXPECT_EQ(http->ProtocolVersion, TNetHTTPProtocolVersion::pv1_1);
  EXPECT_EQ(http->Get(BaseURL(server) + "/"), "fine");
  EXPECT_EQ(server.Received(1).substr(0, 16), "GET / HTTP/1.1\r\n");
}

TEST(HttpErrors, CallsThatFailBeforeOrAfterTheExchange) {
  auto http = ProgramClient();
  EXPECT_EQ(MessageOf([&] { http->Get("https://127.0.0.1/"); }), "IOHandler value is not valid");
  EXPECT_EQ(MessageOf([&] { http->Get("http://127.0.0.1:8o/"); }),
            "'8o' is not a valid integer value");
  LoopbackServer server(
      Script().ReadHead().Send(Reply("200 OK", "body", "Set-Cookie2: v=1; Port=\"80,x\"\r\n")));
  EXPECT_EQ(MessageOf([&] { http->Get(BaseURL(server) + "/"); }),
            "'x' is not a valid integer value");
}

// --- Framing ----------------------------------------------------------------

// One client through responses framed every way, over four connections.
TEST(HttpFraming, EachResponseEndsWhereItsFramingSays) {
  const std::string chunked =
      "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n3\r\nabc\r\n0\r\n\r\n";
  LoopbackServer server(
      {RepliesInTurn(
           {"HTTP/1.1 204 No Content\r\n\r\n", Reply("200 OK", ""), chunked,
            "HTTP/1.1 100 Continue\r\nSet-Cookie: early=1\r\n\r\n" + Reply("200 OK", "final"),
            Reply("200 OK", "x", "Connection: close\r\n")}),
       Script().ReadHead().Send("HTTP/1.1 200 OK\r\n\r\nall of it"),
       Script().ReadHead().Send(Reply("200 OK", "unwanted")).StaySilent(),
       Script().ReadHead().Send(
           "HTTP/1.0 206 Partial\r\nServer: test\r\nContent-Type: audio/mpeg\r\n"
           "Content-Range: bytes 5000000000-5000000003/5000000004\r\nContent-Length: "
           "4\r\n\r\nabcd")});
  auto http = ProgramClient();
  RecordingCookieStore cookies;
  http->SetCookieManager(&cookies);
  const std::string url = BaseURL(server) + "/";
  EXPECT_EQ(http->Get(url), "") << "a 204";
  EXPECT_EQ(http->Get(url), "") << "a length of 0";

  Lines statuses;
  http->OnStatus = [&](TNetComponent*, TNetStatus status, const std::string& text) {
    if (status == TNetStatus::hsStatusText) statuses.push_back(text);
  };
  WorkEventLog log(*http);
  EXPECT_EQ(http->Get(url), "helloabc");
  EXPECT_EQ(statuses, Lines{"Chunk Started"});
  EXPECT_EQ(log.lines, (Lines{"begin read 5", "work read 5", "end read", "begin read 3",
                              "work read 3", "end read"}));
  EXPECT_TRUE(http->Connected()) << "the chunked body ended the response, not the connection";

  EXPECT_EQ(http->Get(url), "final") << "the interim response skipped";
  EXPECT_EQ(cookies.calls.back(), "Set-cookie early=1 @127.0.0.1");
  EXPECT_EQ(http->ResponseCode(), 200);
  EXPECT_EQ(http->Get(url), "x");
  EXPECT_FALSE(http->Connected()) << "Connection: close";
  EXPECT_EQ(http->Get(url), "all of it") << "a body without length runs until the close";
  EXPECT_FALSE(http->Connected());

  http->OnHeadersAvailable = [](TNetComponent*, bool& continueRead) { continueRead = false; };
  EXPECT_EQ(http->Get(url), "") << "an unwanted body is not read";
  EXPECT_FALSE(http->Connected());

  // Last: the server ends this connection after an HTTP/1.0 reply, at a
  // moment the client cannot know.
  http->OnHeadersAvailable = nullptr;
  http->Get(url);
  const TNetHTTPResponse& response = http->Response();
  EXPECT_EQ(response.ResponseText, "HTTP/1.0 206 Partial");
  EXPECT_EQ(response.ResponseVersion, TNetHTTPProtocolVersion::pv1_0);
  EXPECT_EQ(response.Server, "test");
  EXPECT_EQ(response.ContentType, "audio/mpeg");
  EXPECT_EQ(response.ContentRangeStart, 5000000000) << "the rest of a track past 4 GiB";
  EXPECT_EQ(response.ContentRangeEnd, 5000000003);
  EXPECT_EQ(response.ContentLength, 4);
  EXPECT_EQ(server.Connections(), 4);
}

// A memory stream that runs out of memory beyond a limit.
class LimitedStream : public TMemoryStream {
 public:
  explicit LimitedStream(int64_t limit) : limit_(limit) {}
  void SetSize(int64_t size) override {
    if (size > limit_) throw std::bad_alloc();
    TMemoryStream::SetSize(size);
  }
  int64_t Write(const void* buffer, int64_t count) override {
    if (Position() + count > limit_) throw std::bad_alloc();
    return TMemoryStream::Write(buffer, count);
  }

 private:
  int64_t limit_;
};

TEST(HttpFraming, ABodyTakesMemoryAsItArrivesAndRunningOutIsANetworkError) {
  const Script hugeLength =
      Script()
          .ReadHead()
          .Send("HTTP/1.1 200 OK\r\nContent-Length: 2147483647\r\n\r\n" + std::string(100000, 'b'))
          .Close();
  LoopbackServer server(hugeLength);
  auto http = ProgramClient();
  LimitedStream roomy(1 << 20);
  http->Get(BaseURL(server) + "/", roomy);
  EXPECT_EQ(roomy.Size(), 100000) << "2 GiB announced, 100000 bytes came";
  LimitedStream tight(50000);
  EXPECT_EQ(Cp1251ToUtf8(MessageOf([&] { http->Get(BaseURL(server) + "/", tight); })),
            "Недостаточно памяти для приёма данных.");
}

// The read time-out counts from the last byte: a slower trickle completes.
TEST(HttpReadTimeout, CountsFromTheLastByte) {
  auto http = ProgramClient();
  http->ReadTimeout = 1000;
  LoopbackServer trickle(Script()
                             .ReadHead()
                             .Send("HTTP/1.1 200 OK\r\nContent-Length: 30\r\n\r\n")
                             .SendInPieces(std::string(30, 't'), 1, Milliseconds(50)));
  EXPECT_EQ(OutcomeOf(*http, BaseURL(trickle) + "/"), std::string(30, 't'));
}

}  // namespace
