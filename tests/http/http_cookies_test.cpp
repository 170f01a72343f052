// The cookie store at work inside the HTTP client.

#include <gtest/gtest.h>

#include "http_test_helpers.h"

namespace {

using namespace testing_support;

TEST(HttpCookies, ARedirectsCookiesGoWithTheRedirectedRequestAndLastInTheHead) {
  LoopbackServer server(Script()
                            .ReadHead()
                            .Send(Reply("302 Found", "",
                                        "Set-Cookie: session=abc; path=/\r\n"
                                        "Location: /mail/user/audio?search=x\r\n"))
                            .ReadHead()
                            .Send(Reply("200 OK", "found")));
  auto http = ProgramClient();
  EXPECT_EQ(http->Get(BaseURL(server) + "/cgi-bin/auth"), "found");
  const std::string received = server.Received();
  const std::string second = received.substr(received.find("GET /mail/"));
  EXPECT_EQ(received.find("Cookie:"), received.find("Cookie: session=abc"))
      << "the first request carries no Cookie line";
  EXPECT_LT(received.find("GET /mail/"), received.find("Cookie:"));
  EXPECT_EQ(second, "GET /mail/user/audio?search=x HTTP/1.1\r\nContent-Type: text/html\r\n" +
                        HostLine(server) + kAgentLines + "Cookie: session=abc\r\n\r\n");
}

TEST(HttpCookies, AnExpiredCookieIsGoneByTheNextRequest) {
  LoopbackServer server(Script()
                            .ReadHead()
                            .Send(Reply("200 OK", "", "Set-Cookie: s=1\r\nSet-Cookie: t=2\r\n"))
                            .ReadHead()
                            .Send(Reply("200 OK", "", "Set-Cookie: s=; max-age=0\r\n"))
                            .ReadHead()
                            .Send(Reply("200 OK", "")));
  auto http = ProgramClient();
  for (int i = 0; i < 3; ++i) http->Get(BaseURL(server) + "/");
  const std::string received = server.Received();
  const std::string last = received.substr(received.rfind("GET /"));
  EXPECT_NE(last.find("\r\nCookie: t=2\r\n"), std::string::npos) << last;
}

TEST(HttpCookies, ASetCookie2PortListWithANonIntegerFailsTheCall) {
  LoopbackServer server(
      Script().ReadHead().Send(Reply("200 OK", "body", "Set-Cookie2: v=1; Port=\"80,x\"\r\n")));
  auto http = ProgramClient();
  EXPECT_EQ(MessageOf([&] { http->Get(BaseURL(server) + "/"); }),
            "'x' is not a valid integer value");
}

}  // namespace
