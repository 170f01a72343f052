#pragma once
// The cookie store the HTTP client keeps its session in: in memory only,
// for the life of the client.

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "cookies.h"
#include "net_clock.h"

class TNetCookieManager;

using TNetCookieManagerEvent = std::function<void(TNetCookieManager* Sender)>;
// May refuse a new cookie by clearing accept.
using TNetNewCookieEvent =
    std::function<void(TNetCookieManager* Sender, TNetNetscapeCookie& cookie, bool& accept)>;

class TNetCookieManager {
 public:
  explicit TNetCookieManager(const TNetClock& clock = TNetClock::System(),
                             TNetCookieManagerEvent onCreate = nullptr);
  TNetCookieManager(const TNetCookieManager&) = delete;
  TNetCookieManager& operator=(const TNetCookieManager&) = delete;
  // Runs the expiry pass and tells OnDestroy before the cookies go.
  virtual ~TNetCookieManager();

  TNetNewCookieEvent OnNewCookie;
  TNetCookieManagerEvent OnCreate;
  TNetCookieManagerEvent OnDestroy;

  // A "Set-cookie" value of a response to a request for host.
  virtual void AddServerCookie(const std::string& cookie, const std::string& host);
  // A "Set-cookie2" value; a quoted port list with a part that is no integer
  // raises "'%s' is not a valid integer value".
  virtual void AddServerCookie2(const std::string& cookie, const std::string& host);
  // The "Cookie" text for a request to host and path; empty: no "Cookie" line.
  virtual std::string GenerateCookieList(const std::string& host, const std::string& path,
                                         bool secure);
  void RemoveExpired();
  // The count of cookies ever stored, and the "Cookie" text of the cookies
  // stored after that count was read (see TNetCookies).
  uint64_t StoredCount();
  std::string CookieTextSince(const std::string& host, const std::string& path,
                              uint64_t storedCount);

  // The collection itself, for a caller that shares the store with no other
  // thread; every other call above may come from any thread.
  TNetCookies& CookieCollection() { return cookies_; }

  // Whether a cookie for domain may be stored from a response from host.
  static bool IsValidDomain(const std::string& domain, const std::string& host);

 private:
  void AddCookie(std::unique_ptr<TNetNetscapeCookie> cookie, const std::string& cookieText,
                 const std::string& host);

  const TNetClock& clock_;
  // The window's requests and the background downloads share one store.
  std::recursive_mutex mutex_;
  TNetCookies cookies_;
};
