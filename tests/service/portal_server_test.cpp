// What the substitute portal records and reports of the requests it answers.

#include "portal_server.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <future>
#include <memory>
#include <mutex>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "../http/http_test_helpers.h"
#include "support/raw_sockets.h"

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

// What a raw client gets back for its bytes, up to the portal's close.
std::string Exchange(int port, const std::string& request) {
  const int handle = socket(AF_INET, SOCK_STREAM, 0);
  const sockaddr_in address = LoopbackAddress(port);
  connect(handle, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  send(handle, request.data(), request.size(), MSG_NOSIGNAL);
  std::string reply;
  char block[4096];
  pollfd fd{handle, POLLIN, 0};
  for (ssize_t n = 1; n > 0 && poll(&fd, 1, 20000) == 1;) {
    n = recv(handle, block, sizeof block, 0);
    reply.append(block, static_cast<size_t>(std::max<ssize_t>(n, 0)));
  }
  close(handle);
  return reply.substr(0, 12);
}

// Clients that trickle, send a huge body or control bytes neither stop the
// portal serving others, nor grow it, nor steer its log; a port must be one.
TEST(PortalServer, HoldsUpAgainstHostileClients) {
  std::mutex linesLock;
  std::vector<std::string> lines;
  PortalOptions options;
  options.accessLog = [&](const std::string& line) {
    const std::lock_guard<std::mutex> lock(linesLock);
    lines.push_back(line);
  };
  auto portal = std::make_unique<BackgroundPortal>(options, PortalCatalogue{});
  const int port = portal->Server().Port();
  std::vector<std::future<std::string>> trickling;
  for (int i = 0; i < 8; ++i)
    trickling.push_back(std::async(std::launch::async, Exchange, port, "GET /cgi-bin/lo"));
  EXPECT_EQ(OutcomeOf(*ProgramClient(), "http://localhost:" + std::to_string(port) + "/x"),
            "error: HTTP/1.1 404 Not Found");
  for (auto& reply : trickling) EXPECT_EQ(reply.get(), "") << "closed after the read time-out";
  EXPECT_EQ(
      Exchange(port, "POST / HTTP/1.1\r\nContent-Length: 268435456\r\nConnection: close\r\n\r\n"),
      "HTTP/1.1 413");
  Exchange(port, "GET /a\x1b]0;owned\x07 HTTP/1.1\r\nConnection: close\r\n\r\n");
  portal.reset();
  EXPECT_NE(lines.back().find(" GET /a\\x1b]0;owned\\x07 404 "), std::string::npos) << lines.back();
  const std::string refusals = testing::TempDir() + "portal_refusals.txt";
  for (const char* bad :
       {"--port 70000", "--port abc", "--port 0", "--port 1 --tracks abc", "--port 1 --rate -5",
        "--port 1 --page-delay 1x", "--port 1 --rate", "--port 1 --fast"}) {
    EXPECT_EQ(std::system((MELODROP_PORTAL " 2>>" + refusals + " " + bad).c_str()), 2 << 8) << bad;
  }
  std::ifstream said(refusals);
  std::vector<std::string> whys;
  for (std::string line; std::getline(said, line);)
    if (!line.starts_with("usage: ")) whys.push_back(line);
  std::remove(refusals.c_str());
  EXPECT_EQ(whys,
            (std::vector<std::string>{
                "melodrop-portal: --port takes a number from 1 to 65535",
                "melodrop-portal: --port takes a number from 1 to 65535",
                "melodrop-portal: --port takes a number from 1 to 65535",
                "melodrop-portal: --tracks takes a number from 0 to 1000000",
                "melodrop-portal: --rate takes a number from 0 to 9223372036854775807",
                "melodrop-portal: --page-delay takes a number from 0 to 600000",
                "melodrop-portal: --rate takes a value", "melodrop-portal: no option \"--fast\""}));
}

// A catalogue file is read whole, blank lines and CR LF ends aside, or
// refused with the line at fault.
TEST(PortalCatalogue, AFileLineThatIsNoTitleAndSizeIsNamed) {
  const std::string path = testing::TempDir() + "portal_catalogue.txt";
  std::ofstream(path) << "First\t100\r\n\nSecond\t5\n";
  const PortalCatalogue read = PortalCatalogue::FromFile(path);
  ASSERT_NE(read.Find(2), nullptr);
  EXPECT_EQ(read.Find(2)->title, "Second");
  EXPECT_EQ(read.Find(1)->size, 100);
  for (const char* bad : {"No size\n", "Negative\t-5\n", "Huge\t99999999999999999999\n"}) {
    std::ofstream(path) << "First\t100\n" << bad;
    try {
      PortalCatalogue::FromFile(path);
      ADD_FAILURE() << bad;
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(e.what(), path + ", line 2: not a title, a tab and a size in bytes");
    }
  }
  std::remove(path.c_str());
}

}  // namespace
