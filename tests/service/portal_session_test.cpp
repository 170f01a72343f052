// Logging in, reconnecting and logging out against the substitute portal.

#include "portal_session.h"

#include <gtest/gtest.h>

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
  }

  int Logouts() {
    int count = 0;
    for (const std::string& request : portal.Server().RequestLog()) {
      count += request.rfind("GET /cgi-bin/logout", 0) == 0;
    }
    return count;
  }

  BackgroundPortal portal;
  TNetHTTP http;
  TServiceConfig config;
  ViewDouble view;
  TPortalSession session{http, view, config};
};

TEST_F(PortalSessionTest, ALoginThatSucceeds) {
  session.Connect();
  EXPECT_TRUE(session.Connected());
  EXPECT_EQ(view.effects, (Effects{"caption Подключение к серверу...", "show", "caption Подключено",
                                   "search box on"}));
  EXPECT_EQ(portal.Server().RequestLog().front(), "POST /cgi-bin/auth");
  session.Close();
  EXPECT_EQ(view.effects.back(), "caption Отключение от сервера...");
  EXPECT_EQ(Logouts(), 1);
}

TEST_F(PortalSessionTest, AWrongAccountAnsweredWith200FailsTheLogin) {
  config.password = "wrongwrong";
  session.Connect();
  EXPECT_FALSE(session.Connected());
  view.effects.erase(view.effects.begin());
  EXPECT_EQ(view.effects, kLoginFailed);
  session.Close();
  EXPECT_EQ(Logouts(), 0) << "no logout when not connected";
}

TEST_F(PortalSessionTest, AReconnectLogsOutFirstThenLogsIn) {
  config.password = "wrongwrong";
  session.Connect();
  config.password = TServiceConfig().password;
  view.effects.clear();
  session.Reconnect();
  EXPECT_TRUE(session.Connected());
  EXPECT_EQ(view.effects,
            (Effects{"caption Отключение от сервера...", "caption Подключение к серверу...", "show",
                     "caption Подключено", "search box on"}));
  EXPECT_EQ(Logouts(), 1);
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
  EXPECT_EQ(log[1], "POST /cgi-bin/welcome?from=auth");
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
  ViewDouble view;
  TPortalSession session(http, view, config);
  session.Connect();
  EXPECT_FALSE(session.Connected());
  view.effects.erase(view.effects.begin());
  EXPECT_EQ(view.effects, kLoginFailed);
}

}  // namespace
