#pragma once
// The cookie store the HTTP client keeps its session in.

#include <string>

class TNetCookieManager {
 public:
  virtual ~TNetCookieManager() = default;

  // A "Set-cookie" value of a response to a request for host.
  virtual void AddServerCookie(const std::string& cookie, const std::string& host);
  // A "Set-cookie2" value of a response to a request for host.
  virtual void AddServerCookie2(const std::string& cookie, const std::string& host);
  // The "Cookie" text for a request to host and path; empty: no "Cookie" line.
  virtual std::string GenerateCookieList(const std::string& host, const std::string& path,
                                         bool secure);
};
