// The exact bytes the client puts on the wire, as the server received them.

#include <gtest/gtest.h>

#include "http_test_helpers.h"
#include "support/recording_cookie_store.h"

namespace {

using namespace testing_support;

TEST(HttpRequestWire, TheFirstGetHasNoCookieAndNoConnectionLine) {
  LoopbackServer server(Script().ReadHead().Send(Reply("200 OK", "hi")));
  auto http = ProgramClient();
  EXPECT_EQ(http->Get(BaseURL(server) + "/a/b/audio?search=x+y\xCF\xF0"), "hi");
  EXPECT_EQ(server.Received(),
            "GET /a/b/audio?search=x+y\xCF\xF0 HTTP/1.1\r\n"
            "Content-Type: text/html\r\n" +
                HostLine(server) + kAgentLines + "\r\n");
}

TEST(HttpRequestWire, TheFormPostAndTheGetAfterIt) {
  const std::string body = "Login=melodrop&Domain=mail.example&Password=a%20b%26c";
  LoopbackServer server({Script()
                             .ReadHead()
                             .ReadBytes(body.size())
                             .Send(Reply("200 OK", "welcome", "Connection: keep-alive\r\n"))
                             .ReadHead()
                             .Send(Reply("200 OK", "page"))});
  auto http = ProgramClient();
  std::vector<std::string> fields = {"Login=melodrop", "Domain=mail.example", "Password=a b&c"};
  EXPECT_EQ(http->Post(BaseURL(server) + "/cgi-bin/auth", fields), "welcome");
  EXPECT_EQ(http->ProtocolVersion, TNetHTTPProtocolVersion::pv1_1) << "restored after the post";
  EXPECT_EQ(http->Get(BaseURL(server) + "/mail/user/audio?search=x"), "page");
  EXPECT_EQ(server.Received(),
            "POST /cgi-bin/auth HTTP/1.0\r\n"
            "Connection: keep-alive\r\n"
            "Content-Type: application/x-www-form-urlencoded\r\n"
            "Content-Length: " +
                std::to_string(body.size()) + "\r\n" + HostLine(server) + kAgentLines + "\r\n" +
                body +
                "GET /mail/user/audio?search=x HTTP/1.1\r\n"
                "Connection: keep-alive\r\n"
                "Content-Type: application/x-www-form-urlencoded\r\n" +
                HostLine(server) + kAgentLines + "\r\n");
  EXPECT_EQ(server.Connections(), 1);
}

TEST(HttpRequestWire, FragmentsAreCutAndBackslashesBecomeSlashes) {
  LoopbackServer server(
      Script().ReadHead().Send(Reply("200 OK", "")).ReadHead().Send(Reply("200 OK", "")));
  auto http = ProgramClient();
  http->Get(BaseURL(server) + "/p?search=ab#c");
  http->Get(BaseURL(server) + "\\dir\\doc?q=a\\b");
  const std::string received = server.Received();
  EXPECT_NE(received.find("GET /p?search=ab HTTP/1.1\r\n"), std::string::npos);
  EXPECT_NE(received.find("GET /dir/doc?q=a/b HTTP/1.1\r\n"), std::string::npos);
}

TEST(HttpRequestWire, AnExplicitPortStandsInTheHostLine) {
  std::unique_ptr<LoopbackServer> server;
  try {
    server = std::make_unique<LoopbackServer>(
        std::vector<Script>{Script().ReadHead().Send(Reply("200 OK", "8080"))}, 8080);
  } catch (const std::exception&) {
    GTEST_SKIP() << "port 8080 is taken on this machine";
  }
  auto http = ProgramClient();
  http->SetPort(12345);  // a URL with "://" does not use it
  EXPECT_EQ(http->Get("http://127.0.0.1:8080/"), "8080");
  EXPECT_NE(server->Received().find("\r\nHost: 127.0.0.1:8080\r\n"), std::string::npos);
}

TEST(HttpRequestWire, ACookieLineOver1024CharactersGoesOutOnOneLine) {
  LoopbackServer server(Script().ReadHead().Send(Reply("200 OK", "")));
  auto http = ProgramClient();
  RecordingCookieStore cookies;
  const std::string first = "a=" + std::string(600, 'x') + ";";
  const std::string second = "b=" + std::string(600, 'y');
  cookies.cookieText = first + " " + second;
  http->SetCookieManager(&cookies);
  http->Get(BaseURL(server) + "/");
  EXPECT_NE(server.Received().find(kAgentLines + "Cookie: " + first + " " + second + "\r\n\r\n"),
            std::string::npos);
}

TEST(HttpRequestWire, TheCookieStoreIsAskedBeforeAndToldAfterEveryRequest) {
  LoopbackServer server(Script()
                            .ReadHead()
                            .Send(Reply("302 Found", "",
                                        "Set-Cookie: s=1; path=/\r\nLocation: /next/\r\n"
                                        "Set-cookie2: v=2\r\nset-cookie: t=3\r\n"))
                            .ReadHead()
                            .Send(Reply("200 OK", "done")));
  auto http = ProgramClient();
  EXPECT_EQ(http->CookieManager(), nullptr) << "no store before the first response";
  RecordingCookieStore cookies;
  cookies.cookieText = "s=1";
  http->SetCookieManager(&cookies);
  EXPECT_EQ(http->Get(BaseURL(server) + "/start/page?x=1"), "done");
  EXPECT_EQ(cookies.calls, (std::vector<std::string>{
                               "text for 127.0.0.1/start/", "Set-cookie s=1; path=/ @127.0.0.1",
                               "Set-cookie t=3 @127.0.0.1", "Set-cookie2 v=2 @127.0.0.1",
                               "text for 127.0.0.1/next/"}));
  const std::string redirected = server.Received().substr(server.Received().find("GET /next/"));
  EXPECT_EQ(redirected, "GET /next/ HTTP/1.1\r\nContent-Type: text/html\r\n" + HostLine(server) +
                            kAgentLines + "Cookie: s=1\r\n\r\n");
}

}  // namespace
