// The rules the portal session depends on, at the store itself.

#include <gtest/gtest.h>

#include "cookie_manager.h"
#include "integer_text.h"
#include "internet_date.h"

namespace {

const std::string kLogin = "login.portal.test";
const std::string kCatalogue = "catalogue.portal.test";

class CookieStoreTest : public ::testing::Test {
 protected:
  // 2026-12-07 12:00:00.500 UTC; local time is UTC + 3 h.
  TFixedNetClock clock{1796644800500, 3 * 3600};
  TNetCookieManager store{clock};

  std::string For(const std::string& host, const std::string& path = "/mail/user/") {
    return store.GenerateCookieList(host, path, false);
  }
};

// Set-Cookie lines from the login host, and the Cookie text a request gets.
TEST_F(CookieStoreTest, WhatIsSentBack) {
  const auto removedBy = [](const char* ending) {
    return std::vector<std::string>{"gone=1; path=/", "kept=1; path=/",
                                    std::string("gone=2; path=/; ") + ending};
  };
  const std::vector<std::string> mailAndAudio = {"mail=1; path=/mail",
                                                 "audio=1; path=/mail/user/audio", "anywhere=1"};
  const struct {
    std::vector<std::string> set;
    std::string host, path, sent;
  } cases[] = {
      {{"session=abc; domain=.portal.test; path=/", "local=1; path=/"},
       kCatalogue,
       "/",
       "session=abc"},
      // Equal paths: in the order of the index.
      {{"session=abc; domain=.portal.test; path=/", "local=1; path=/"},
       kLogin,
       "/",
       "session=abc; local=1"},
      // A new value: last stored first, the old one's place kept.
      {{"a=1; path=/", "b=2; path=/", "a=3; path=/"}, kLogin, "/", "b=2; a=3"},
      {removedBy("expires=Thu, 01-Jan-1970 00:00:01 GMT"), kLogin, "/", "kept=1"},
      {removedBy("expires=Thu, 01-Jan-70 00:00:01 GMT"), kLogin, "/", "kept=1"},
      {removedBy("max-age=0"), kLogin, "/", "kept=1"},
      {removedBy("expires=not a date"), kLogin, "/", "kept=1"},
      {{"hidden=1; path=/; secure", "empty=; path=/", "shown=1; path=/"}, kLogin, "/", "shown=1"},
      {{"a=1, b=2; path=/"}, kLogin, "/", "a=1, b=2"},
      // Not kept: a control character would go back inside the Cookie line.
      {{"bad=a\rb; path=/", "bad2=a\x7f; path=/", "kept=1; path=/"}, kLogin, "/", "kept=1"},
      {{"big=" + std::string(4093, 'v'), "kept=1; path=/"}, kLogin, "/", "kept=1"},
      {mailAndAudio, kLogin, "/mail/user/", "mail=1; anywhere=1"},
      {mailAndAudio, kLogin, "/other/", "anywhere=1"},
      {{"root=1; path=/", "mail=1; path=/mail/"}, kLogin, "/mail/user/", "mail=1; root=1"},
      {{"a=1; domain=.Portal.test; path=/", "b=1; domain=.other.test; path=/"}, kLogin, "/", ""},
      // A huge max-age lasts until the latest date.
      {{"a=1; path=/; max-age=9223372036854775807", "b=1; path=/; max-age=300000000000"},
       kLogin,
       "/",
       "b=1; a=1"},
  };
  for (const auto& c : cases) {
    TNetCookieManager fresh(clock);
    for (const std::string& line : c.set) fresh.AddServerCookie(line, kLogin);
    EXPECT_EQ(fresh.GenerateCookieList(c.host, c.path, false), c.sent)
        << c.set.back() << " to " << c.host << c.path;
  }
  store.AddServerCookie("hidden=1; path=/; secure", kLogin);
  EXPECT_EQ(store.GenerateCookieList(kLogin, "/", true), "hidden=1") << "over a secure line";
  store.AddServerCookie("a=1; path=/; max-age=9223372036854775807", kLogin);
  EXPECT_EQ(store.CookieCollection().Find("a")->Expires, "Fri, 31 Dec 9999 23:59:59 +0300");
  store.AddServerCookie("q=1; path=\"/mail/\"", kLogin);
  EXPECT_EQ(store.CookieCollection().Find("q")->Path, "/mail/") << "quotes removed";
}

TEST_F(CookieStoreTest, AFutureDateOrMaxAgeKeepsTheCookieUntilThen) {
  store.AddServerCookie("until=1; path=/; expires=Mon, 07 Dec 2026 12:00:10 GMT", kLogin);
  store.AddServerCookie("aged=1; path=/; max-age=60", kLogin);
  EXPECT_EQ(For(kLogin), "aged=1; until=1");
  clock.Advance(10 * 1000);
  EXPECT_EQ(For(kLogin), "aged=1");
  clock.Advance(60 * 1000);
  EXPECT_EQ(For(kLogin), "");
}

TEST_F(CookieStoreTest, ARepeatedMaxAgeDoesNotPushTheExpiryOn) {
  store.AddServerCookie("a=1; path=/; max-age=60", kLogin);
  const std::string expires = store.CookieCollection().Find("a")->Expires;
  EXPECT_EQ(expires, "Mon, 7 Dec 2026 15:01:00 +0300");
  clock.Advance(30 * 1000);
  store.AddServerCookie("a=1; path=/; max-age=60", kLogin);
  EXPECT_EQ(store.CookieCollection().Find("a")->Expires, expires);
}

TEST_F(CookieStoreTest, ACookieGoesToItsOwnHostAndBelowItsPathOnly) {
  struct Case {
    const char* cookie;
    std::string host;  // of the request that gets it back
    const char* path;
    bool sent;
  };
  const Case kCases[] = {
      {"c=1; path=/", "track.host.test", "/login.portal.test/", false},
      {"c=1; path=/", "sub." + kLogin, "/", false},
      {"c=1; path=/", "LOGIN.portal.TEST", "/", true},
      {"c=1; path=/", "xlogin.portal.test", "/", false},
      {"c=1; domain=portal.test; path=/", kCatalogue, "/", true},
      {"c=1; domain=.portal.test; path=/", "portal.test", "/", true},
      {"c=1; domain=.portal.test; path=/", "evilportal.test", "/", false},
      {"c=1; domain=.test; path=/", kLogin, "/", false},
      {"c=1; domain=test; path=/", kLogin, "/", false},
      {"c=1; path=/mail", kLogin, "/mailbox/", false},
      {"c=1; path=/mail", kLogin, "/mail/", true},
      {"c=1; path=/mail/", kLogin, "/mail/user/", true},
      {"c=1", kLogin, "/any/", true},
  };
  for (const Case& c : kCases) {
    TNetCookieManager fresh(clock);
    fresh.AddServerCookie(c.cookie, kLogin);
    EXPECT_EQ(fresh.GenerateCookieList(c.host, c.path, false) == "c=1", c.sent)
        << c.cookie << " to " << c.host << c.path;
  }
  TNetCookieManager numeric(clock);
  numeric.AddServerCookie("c=1; domain=10.0.0.1", "10.0.0.1");
  EXPECT_EQ(numeric.GenerateCookieList("10.0.0.1", "/", false), "c=1");
}

TEST_F(CookieStoreTest, DomainValidation) {
  EXPECT_TRUE(TNetCookieManager::IsValidDomain("10.0.0.1", "10.0.0.1"));
  EXPECT_FALSE(TNetCookieManager::IsValidDomain(".0.0.1", "10.0.0.1"));
  EXPECT_TRUE(TNetCookieManager::IsValidDomain("portal.test", "login.portal.test"));
  EXPECT_TRUE(TNetCookieManager::IsValidDomain(".PORTAL.test", ".portal.test"));
  EXPECT_FALSE(TNetCookieManager::IsValidDomain("login.portal.test.evil", "login.portal.test"));
}

TEST_F(CookieStoreTest, NewCookiesCanBeRefused) {
  store.OnNewCookie = [](TNetCookieManager*, TNetNetscapeCookie& cookie, bool& accept) {
    accept = cookie.CookieName != "tracker";
  };
  store.AddServerCookie("tracker=1", kLogin);
  store.AddServerCookie("session=1", kLogin);
  EXPECT_EQ(For(kLogin, "/"), "session=1");
}

TEST_F(CookieStoreTest, SetCookie2RecordsItsAttributes) {
  store.AddServerCookie2("v=1; Version=1; Port=\"80,8080\"; Discard; CommentURL=http://x/", kLogin);
  const auto* cookie = dynamic_cast<const TNetCookieRFC2965*>(store.CookieCollection().Find("v"));
  ASSERT_NE(cookie, nullptr);
  EXPECT_EQ(cookie->PortList, (std::vector<int32_t>{80, 8080}));
  EXPECT_TRUE(cookie->Discard);
  EXPECT_EQ(cookie->CommentURL, "http://x/");
  EXPECT_EQ(cookie->Version, "1");
  try {
    store.AddServerCookie2("w=1; Port=\"80,eighty\"", kLogin);
    ADD_FAILURE();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'eighty' is not a valid integer value");
  }
}

TEST(CookieManager, TellsWhenItIsMadeAndDestroyed) {
  std::vector<std::string> events;
  {
    TNetCookieManager store(TNetClock::System(),
                            [&](TNetCookieManager*) { events.push_back("create"); });
    store.OnDestroy = [&](TNetCookieManager*) { events.push_back("destroy"); };
  }
  EXPECT_EQ(events, (std::vector<std::string>{"create", "destroy"}));
}

}  // namespace
