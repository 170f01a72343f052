// Fuzzed cookie texts and dates: stored, expired, and turned into the
// cookie text of a request.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "cookie_manager.h"
#include "internet_date.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  TFixedNetClock clock(1796644800500, (size % 49 - 24) * 1800);
  ReadInternetDate(std::string(input.substr(0, input.find('\n'))), clock);
  TNetCookieManager store(clock);
  // Each line is a header value; its first byte picks the header and the host.
  static const char* const kHosts[] = {"login.portal.test", "127.0.0.1", ".portal.test", "x"};
  size_t start = 0;
  while (start < input.size()) {
    const size_t end = std::min(input.find('\n', start), input.size());
    const std::string_view line = input.substr(start, end - start);
    start = end + 1;
    if (line.empty()) continue;
    const std::string value(line.substr(1));
    const char* host = kHosts[static_cast<uint8_t>(line[0]) % 4];
    try {
      if (line[0] & 4) {
        store.AddServerCookie2(value, host);
      } else {
        store.AddServerCookie(value, host);
      }
    } catch (const std::exception&) {
      // A bad Set-cookie2 port list fails the HTTP call; nothing else may raise.
    }
    clock.Advance(static_cast<uint8_t>(line[0]) * 1000);
    store.GenerateCookieList("catalogue.portal.test", "/mail/user/", line[0] & 8);
  }
  store.GenerateCookieList("login.portal.test", "/", false);
  return 0;
}
