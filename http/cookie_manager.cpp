#include "cookie_manager.h"

#include <algorithm>
#include <vector>

#include "text.h"

namespace {

// The first four dot-separated parts are decimal numbers from 0 to 255.
bool IsIPv4Host(const std::string& host) {
  size_t start = 0;
  for (int part = 0; part < 4; ++part) {
    const size_t end = std::min(host.find('.', start), host.size());
    const std::string digits = host.substr(start, end - start);
    if (digits.empty() || digits.size() > 3 ||
        digits.find_first_not_of("0123456789") != std::string::npos || std::stoi(digits) > 255) {
      return false;
    }
    if (part < 3 && end == host.size()) return false;
    start = end + 1;
  }
  return true;
}

// Whether a Domain attribute has a dot inside it after the leading one: one
// without would hand the cookie to every host of a top-level domain.
bool NamesBelowATopLevelDomain(const std::string& domain) {
  const size_t start = !domain.empty() && domain[0] == '.' ? 1 : 0;
  const size_t dot = domain.find('.', start + 1);
  return dot != std::string::npos && dot + 1 < domain.size();
}

// The host from its first "." on, or the whole host.
std::string DomainPart(const std::string& host) {
  const size_t dot = host.find('.');
  return dot == std::string::npos ? host : host.substr(dot);
}

// A cookie the store keeps no more of (RFC 6265, 5.2 and 6.1): over 4096
// bytes with its attributes, or with a control character that would go
// back to the server inside the "Cookie" line.
bool IsUnfitCookie(const std::string& cookieText) {
  constexpr size_t kMaxCookieBytes = 4096;
  return cookieText.size() > kMaxCookieBytes ||
         std::any_of(cookieText.begin(), cookieText.end(), [](char c) {
           const auto byte = static_cast<unsigned char>(c);
           return (byte < 0x20 && byte != '\t') || byte == 0x7F;
         });
}

// Whether domain equals as many last characters of s (all of s when shorter).
bool EndsWithExactly(const std::string& s, const std::string& domain) {
  if (domain.size() > s.size()) return domain == s;
  return s.compare(s.size() - domain.size(), domain.size(), domain) == 0;
}

}  // namespace

TNetCookieManager::TNetCookieManager(const TNetClock& clock, TNetCookieManagerEvent onCreate)
    : OnCreate(std::move(onCreate)), clock_(clock), cookies_(clock) {
  if (OnCreate) OnCreate(this);
}

TNetCookieManager::~TNetCookieManager() {
  cookies_.RemoveExpired();
  if (OnDestroy) OnDestroy(this);
  cookies_.Clear();
}

bool TNetCookieManager::IsValidDomain(const std::string& domain, const std::string& host) {
  if (IsIPv4Host(host)) return domain == host;
  if (!host.empty() && host[0] == '.') return text::EqualsIgnoringCase(domain, DomainPart(host));
  if ((domain.empty() || domain[0] != '.') && !IsIPv4Host(domain)) {
    return EndsWithExactly(host, domain);
  }
  return EndsWithExactly(DomainPart(host), domain);
}

void TNetCookieManager::AddCookie(std::unique_ptr<TNetNetscapeCookie> cookie,
                                  const std::string& cookieText, const std::string& host) {
  if (IsUnfitCookie(cookieText)) return;
  cookie->SetCookieText(cookieText);
  if (cookie->Domain.empty()) {
    cookie->Domain = host;
    cookie->HostOnly = true;
  } else if (!IsIPv4Host(cookie->Domain) && !NamesBelowATopLevelDomain(cookie->Domain)) {
    return;
  }
  if (!IsValidDomain(cookie->Domain, host)) return;
  bool accept = true;
  if (OnNewCookie) OnNewCookie(this, *cookie, accept);
  if (accept) cookies_.AddCookie(std::move(cookie));
}

void TNetCookieManager::AddServerCookie(const std::string& cookie, const std::string& host) {
  std::lock_guard lock(mutex_);
  AddCookie(std::make_unique<TNetCookieRFC2109>(clock_), cookie, host);
}

void TNetCookieManager::AddServerCookie2(const std::string& cookie, const std::string& host) {
  std::lock_guard lock(mutex_);
  AddCookie(std::make_unique<TNetCookieRFC2965>(clock_), cookie, host);
}

std::string TNetCookieManager::GenerateCookieList(const std::string& host, const std::string& path,
                                                  bool secure) {
  std::lock_guard lock(mutex_);
  cookies_.RemoveExpired();
  return cookies_.CookieText(host, path, secure);
}

void TNetCookieManager::RemoveExpired() {
  std::lock_guard lock(mutex_);
  cookies_.RemoveExpired();
}

uint64_t TNetCookieManager::StoredCount() {
  std::lock_guard lock(mutex_);
  return cookies_.StoredCount();
}

std::string TNetCookieManager::CookieTextSince(const std::string& host, const std::string& path,
                                               uint64_t storedCount) {
  std::lock_guard lock(mutex_);
  cookies_.RemoveExpired();
  return cookies_.CookieText(host, path, false, storedCount);
}
