// Logging in, reconnecting and logging out against the substitute portal.

#include "portal_session.h"

#include <gtest/gtest.h>

#include "../http/http_test_helpers.h"
#include "catalogue_search.h"
#include "portal_server.h"
#include "program_http_settings.h"
#include "service_config.h"
#include "view_double.h"

namespace {

using namespace testing_support;
using Effects = std::vector<std::string>;

const Effects kLoginFailed = {"show",
                              "message Ошибка подключения, попробуйте позже",
                              "caption Ошибка подключения, попробуйте позже",
                              "search box off",
                              "link field off",
                              "search button off",
                              "title list off"};

class PortalSessionTest : public ::testing::Test {
 protected:
  explicit PortalSessionTest(PortalOptions options = {})
      : portal(std::move(options), PortalCatalogue::Generated(100)) {
    ApplyProgramHTTPSettings(http, portal.Server().Port());
    config.port = portal.Server().Port();
  }

  int Logouts() {
    int count = 0;
    for (const PortalRequest& request : portal.Server().RequestLog()) {
      count += request.MethodAndTarget() == "GET /cgi-bin/logout";
    }
    return count;
  }

  BackgroundPortal portal;
  TNetHTTP http;
  TServiceConfig config;
  ViewDouble view;
  TPortalSession session{http, view, config};
};

TEST_F(PortalSessionTest, LoginReconnectAndLogout) {
  config.password = "wrongwrong";  // answered with 200 all the same
  session.Connect();
  EXPECT_FALSE(session.Connected());
  EXPECT_EQ(Effects(view.effects.begin() + 1, view.effects.end()), kLoginFailed);
  EXPECT_EQ(portal.Server().RequestLog().front().MethodAndTarget(), "POST /cgi-bin/auth");
  session.Close();
  EXPECT_EQ(Logouts(), 0) << "no logout when not connected";

  config.password = TServiceConfig().password;
  view.effects.clear();
  session.Reconnect();
  EXPECT_TRUE(session.Connected());
  EXPECT_EQ(view.effects,
            (Effects{"caption Отключение от сервера...", "caption Подключение к серверу...", "show",
                     "caption Подключено", "search box on", "search button on"}))
      << "a good reconnect after a failed start leaves the search working";
  EXPECT_EQ(Logouts(), 1);

  TServiceConfig wrong = config;
  wrong.password = "wrongwrong";
  TPortalSession refused(http, view, wrong);
  refused.Connect();
  EXPECT_FALSE(refused.Connected()) << "the earlier session's cookie does not count";

  // Portal requests stay on the configured port after a download elsewhere.
  LoopbackServer trackHost(Script().ReadHead().Send(Reply("200 OK", "mp3")));
  EXPECT_EQ(http.Get(BaseURL(trackHost) + "/track.mp3"), "mp3");
  session.Reconnect();
  EXPECT_TRUE(session.Connected());
  view.searchText = Utf8ToCp1251("северный");
  EXPECT_TRUE(TCatalogueSearch(http, view, config).Find());
  EXPECT_FALSE(view.Titles().empty());
  session.Close();
  EXPECT_EQ(view.effects.back(), "caption Отключение от сервера...");
  EXPECT_EQ(Logouts(), 3);
  EXPECT_EQ(trackHost.Connections(), 1);
  EXPECT_EQ(trackHost.Received().find("Cookie:"), std::string::npos);
}

class RedirectedLoginTest : public PortalSessionTest {
 protected:
  static PortalOptions Redirecting() {
    PortalOptions options;
    options.redirectLogin = true;
    return options;
  }
  RedirectedLoginTest() : PortalSessionTest(Redirecting()) {}
};

TEST_F(RedirectedLoginTest, ALoginRedirectedByThePortal) {
  session.Connect();
  EXPECT_TRUE(session.Connected());
  const auto log = portal.Server().RequestLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[1].MethodAndTarget(), "POST /cgi-bin/welcome?from=auth");
}

TEST(PortalSession, APortalThatIsDownFailsTheLogin) {
  TNetHTTP http;
  int port;
  {
    BackgroundPortal gone({}, PortalCatalogue::Generated(1));
    port = gone.Server().Port();
  }
  ApplyProgramHTTPSettings(http, port);
  TServiceConfig config;
  config.port = port;
  ViewDouble view;
  TPortalSession session(http, view, config);
  session.Connect();
  EXPECT_FALSE(session.Connected());
  EXPECT_EQ(Effects(view.effects.begin() + 1, view.effects.end()), kLoginFailed);
}

}  // namespace
