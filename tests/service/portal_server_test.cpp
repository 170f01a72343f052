// What the substitute portal records and reports of the requests it answers.

#include "portal_server.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>

#include "../http/http_test_helpers.h"

namespace {

using namespace testing_support;

TEST(PortalServer, RecordsEachRequestWholeAndReportsOneAccessLineEach) {
  PortalCatalogue catalogue;
  catalogue.Add("Silence", 0);
  std::vector<std::string> accessLines;
  PortalOptions options;
  options.accessLog = [&](const std::string& line) { accessLines.push_back(line); };
  auto portal = std::make_unique<BackgroundPortal>(options, catalogue);
  const std::string origin = "http://localhost:" + std::to_string(portal->Server().Port());
  {
    auto http = ProgramClient();
    http->ReadTimeout = 5000;  // a track that never ends fails instead
    std::vector<std::string> form = {"Login=melodrop", "Domain=portal.local",
                                     "Password=qwertyuiop"};
    http->Post(origin + "/cgi-bin/auth", form);
    EXPECT_EQ(http->Get(origin + "/tracks/1.mp3"), "") << "a track of 0 bytes";
    EXPECT_EQ(http->Response().ContentLength, 0);
  }
  const std::vector<PortalRequest> log = portal->Server().RequestLog();
  portal.reset();  // every access line is out once the portal has stopped
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].MethodAndTarget(), "POST /cgi-bin/auth");
  EXPECT_EQ(log[0].version, "HTTP/1.0");
  EXPECT_EQ(log[0].Header("content-type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(log[0].body, "Login=melodrop&Domain=portal.local&Password=qwertyuiop");
  EXPECT_EQ(log[1].version, "HTTP/1.1");
  EXPECT_EQ(log[1].Header("Cookie").rfind("Mpop=", 0), 0u) << log[1].Header("Cookie");
  EXPECT_EQ(log[1].Header("REMOTE_ADDR"), "") << "only what the client sent";
  // One line per request, each when its answer is out: in either order,
  // as the two connections' threads finish.
  ASSERT_EQ(accessLines.size(), 2u);
  std::sort(accessLines.begin(), accessLines.end(),
            [](const std::string& a, const std::string& b) { return a.substr(19) < b.substr(19); });
  for (const std::string& line : accessLines) {
    // "YYYY-MM-DD hh:mm:ss ": digits where the date and time have them.
    for (size_t i = 0; i < 20; ++i)
      EXPECT_EQ(std::string("dddd-dd-dd dd:dd:dd ")[i] == 'd', std::isdigit(line[i]) != 0) << line;
  }
  EXPECT_EQ(accessLines[0].substr(19), " GET /tracks/1.mp3 200 0");
  EXPECT_EQ(accessLines[1].rfind(" POST /cgi-bin/auth 200 ", 19), 19u) << accessLines[1];
}

TEST(PortalServer, ARestartedPortalGetsItsPortBackButNeverSharesItWithALiveOne) {
  auto first = std::make_unique<BackgroundPortal>(PortalOptions{}, PortalCatalogue{});
  PortalOptions samePort;
  samePort.port = first->Server().Port();
  // An HTTP/1.0 request: the portal closes first, and its port keeps the
  // connection in TIME_WAIT after it has stopped.
  std::vector<std::string> form = {"Login=melodrop"};
  ProgramClient()->Post("http://localhost:" + std::to_string(samePort.port) + "/cgi-bin/auth",
                        form);
  EXPECT_THROW(PortalServer(samePort, PortalCatalogue{}), std::runtime_error);
  first.reset();
  EXPECT_NO_THROW(BackgroundPortal(samePort, PortalCatalogue{}));
}

}  // namespace
