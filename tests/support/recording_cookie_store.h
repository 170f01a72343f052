#pragma once
// A cookie store that records how the HTTP client calls it and answers
// with a text the test sets.

#include <string>
#include <vector>

#include "cookie_manager.h"

namespace testing_support {

class RecordingCookieStore : public TNetCookieManager {
 public:
  void AddServerCookie(const std::string& cookie, const std::string& host) override {
    calls.push_back("Set-cookie " + cookie + " @" + host);
  }
  void AddServerCookie2(const std::string& cookie, const std::string& host) override {
    calls.push_back("Set-cookie2 " + cookie + " @" + host);
  }
  std::string GenerateCookieList(const std::string& host, const std::string& path,
                                 bool secure) override {
    calls.push_back("text for " + host + path + (secure ? " secure" : ""));
    return cookieText;
  }

  std::vector<std::string> calls;
  std::string cookieText;
};

}  // namespace testing_support
