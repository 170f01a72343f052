#include "cookies.h"

#include <algorithm>
#include <charconv>
#include <mutex>

#include "integer_text.h"
#include "internet_date.h"
#include "net_exceptions.h"
#include "text.h"

namespace {

std::vector<std::string> SplitItems(const std::string& cookieText) {
  std::vector<std::string> items;
  std::string rest = cookieText;
  for (size_t at = rest.find(';'); at != std::string::npos; at = rest.find(';')) {
    items.push_back(text::Trim(rest.substr(0, at)));
    rest = rest.substr(at + 1);
  }
  if (!rest.empty()) items.push_back(text::Trim(rest));
  return items;
}

std::optional<int64_t> ParseDecimal64(const std::string& s) {
  int64_t value = 0;
  const char* end = s.data() + s.size();
  const auto [ptr, error] = std::from_chars(s.data(), end, value);
  if (s.empty() || error != std::errc() || ptr != end) return std::nullopt;
  return value;
}

}  // namespace

// --- Items ------------------------------------------------------------------

void TNetNetscapeCookie::SetCookieText(const std::string& cookieText) {
  if (cookieText == cookieText_ && !cookieText_.empty()) return;
  cookieText_ = cookieText;
  std::vector<std::string> items = SplitItems(cookieText);
  CookieName.clear();
  Value.clear();
  if (!items.empty()) {
    const std::string& cookie = items.front();
    const size_t equals = cookie.find('=');
    if (equals != std::string::npos) {
      CookieName = cookie.substr(0, equals);
      Value = cookie.substr(equals + 1);
    }
    items.erase(items.begin());
  }
  for (std::string& item : items) {
    const size_t equals = item.find('=');
    item = equals == std::string::npos
               ? text::ToUpper(item)
               : text::ToUpper(item.substr(0, equals)) + item.substr(equals);
  }
  LoadProperties(items);
}

bool TNetNetscapeCookie::MatchesHost(const std::string& host) const {
  const std::string_view domain =
      std::string_view(Domain).substr(!Domain.empty() && Domain[0] == '.' ? 1 : 0);
  if (text::EqualsIgnoringCase(host, domain)) return true;
  if (HostOnly || host.size() <= domain.size()) return false;
  const size_t start = host.size() - domain.size();
  return host[start - 1] == '.' &&
         text::EqualsIgnoringCase(std::string_view(host).substr(start), domain);
}

bool TNetNetscapeCookie::MatchesPath(const std::string& path) const {
  if (path.compare(0, Path.size(), Path) != 0) return false;
  return path.size() == Path.size() || Path.empty() || Path.back() == '/' ||
         path[Path.size()] == '/';
}

std::string TNetNetscapeCookie::AttributeValue(const Attributes& attributes, const char* name,
                                               bool* found) {
  const std::string prefix = std::string(name) + "=";
  for (const std::string& item : attributes) {
    if (item.compare(0, prefix.size(), prefix) == 0) {
      if (found) *found = true;
      return item.substr(prefix.size());
    }
  }
  if (found) *found = false;
  return "";
}

bool TNetNetscapeCookie::HasItem(const Attributes& attributes, const char* name) {
  return std::find(attributes.begin(), attributes.end(), name) != attributes.end();
}

void TNetNetscapeCookie::LoadProperties(const Attributes& attributes) {
  Path = AttributeValue(attributes, "PATH");
  if (!Path.empty() && Path.front() == '"') Path.erase(0, 1);
  if (!Path.empty() && Path.back() == '"') Path.pop_back();
  Expires = AttributeValue(attributes, "EXPIRES");
  Domain = AttributeValue(attributes, "DOMAIN");
  Secure = HasItem(attributes, "SECURE");
}

TNetCookieRFC2109::TNetCookieRFC2109(const TNetClock& clock) : TNetNetscapeCookie(clock) {
  Flavour = TNetCookieFlavour::RFC2109;
}

int64_t TNetCookieRFC2109::SecondsUntil(const std::string& date) const {
  const std::optional<int64_t> when = ReadInternetDate(date, Clock());
  if (!when) return MaxAge;
  return (*when * 1000 - Clock().NowLocalMilliseconds()) / 1000;
}

void TNetCookieRFC2109::LoadProperties(const Attributes& attributes) {
  TNetNetscapeCookie::LoadProperties(attributes);
  if (!Expires.empty()) MaxAge = SecondsUntil(Expires);
  MaxAge = ParseDecimal64(AttributeValue(attributes, "MAX-AGE")).value_or(-1);
  Version = AttributeValue(attributes, "VERSION");
  Comment = AttributeValue(attributes, "COMMENT");
  bool hasExpires = false;
  AttributeValue(attributes, "EXPIRES", &hasExpires);
  if (!hasExpires) {
    Flavour = TNetCookieFlavour::Netscape;
    if (MaxAge >= 0) {
      // A date beyond the last one the store reads back would drop the cookie.
      const int64_t now = Clock().NowLocalMilliseconds() / 1000;
      Expires = WriteInternetDate(now + std::min(MaxAge, kLatestDate - now), Clock());
      MaxAge = SecondsUntil(Expires);
    }
  }
}

TNetCookieRFC2965::TNetCookieRFC2965(const TNetClock& clock) : TNetCookieRFC2109(clock) {
  Flavour = TNetCookieFlavour::RFC2965;
}

void TNetCookieRFC2965::LoadProperties(const Attributes& attributes) {
  TNetCookieRFC2109::LoadProperties(attributes);
  CommentURL = AttributeValue(attributes, "COMMENTURL");
  Discard = HasItem(attributes, "DISCARD");
  const std::string ports = AttributeValue(attributes, "PORT");
  PortList.clear();
  if (ports.empty()) {
    PortList = {80};
  } else if (ports.size() >= 2 && ports.front() == '"' && ports.back() == '"') {
    std::string rest = ports.substr(1, ports.size() - 2);
    while (!rest.empty()) {
      const size_t comma = rest.find(',');
      PortList.push_back(NetworkStrToInt(rest.substr(0, comma)));
      rest = comma == std::string::npos ? "" : rest.substr(comma + 1);
    }
    if (PortList.empty()) PortList = {80};
  }
}

// --- Store ------------------------------------------------------------------

TNetCookieList::Entry& TNetCookieList::EntryFor(const std::string& key) {
  for (Entry& entry : entries_) {
    if (text::EqualsIgnoringCase(entry.key, key)) return entry;
  }
  entries_.push_back(Entry{key, {}});
  return entries_.back();
}

void TNetCookies::AddCookie(std::unique_ptr<TNetNetscapeCookie> cookie) {
  std::unique_lock<std::shared_mutex> lock(lock_);
  auto& cookies = index_.EntryFor(cookie->Domain + cookie->Path).cookies;
  for (auto& held : cookies) {
    if (text::EqualsIgnoringCase(held->CookieName, cookie->CookieName)) {
      held->SetCookieText(cookie->CookieText());
      // The text may name no domain: the one the store gave stays.
      held->Domain = cookie->Domain;
      held->HostOnly = cookie->HostOnly;
      held->Flavour = cookie->Flavour;
      held->StoredAs = ++storedCount_;
      return;
    }
  }
  cookie->StoredAs = ++storedCount_;
  const std::string domain = DomainOf(*cookie);
  cookies.push_back(std::move(cookie));
  // A server cannot make every request carry more than a browser's share.
  const auto inDomain = [&](const TNetNetscapeCookie& c) {
    return text::EqualsIgnoringCase(DomainOf(c), domain);
  };
  const auto any = [](const TNetNetscapeCookie&) { return true; };
  if (CountWhere(inDomain) > kMaxCookiesPerDomain) RemoveOldestWhere(inDomain);
  if (CountWhere(any) > kMaxCookies) RemoveOldestWhere(any);
}

std::string TNetCookies::DomainOf(const TNetNetscapeCookie& cookie) {
  return cookie.Domain.substr(!cookie.Domain.empty() && cookie.Domain[0] == '.' ? 1 : 0);
}

size_t TNetCookies::CountWhere(const CookieTest& test) const {
  size_t count = 0;
  for (const TNetCookieList::Entry& entry : index_.Entries()) {
    count += static_cast<size_t>(std::count_if(entry.cookies.begin(), entry.cookies.end(),
                                               [&](const auto& c) { return test(*c); }));
  }
  return count;
}

void TNetCookies::RemoveOldestWhere(const CookieTest& test) {
  std::vector<TNetCookieList::Entry>& entries = index_.Entries();
  auto oldestEntry = entries.end();
  size_t oldest = 0;
  for (auto entry = entries.begin(); entry != entries.end(); ++entry) {
    for (size_t i = 0; i < entry->cookies.size(); ++i) {
      const TNetNetscapeCookie& c = *entry->cookies[i];
      if (test(c) &&
          (oldestEntry == entries.end() || c.StoredAs < oldestEntry->cookies[oldest]->StoredAs)) {
        oldestEntry = entry;
        oldest = i;
      }
    }
  }
  if (oldestEntry == entries.end()) return;
  oldestEntry->cookies.erase(oldestEntry->cookies.begin() + static_cast<long>(oldest));
  // Paths a flood of cookies named one by one leave no trace.
  if (oldestEntry->cookies.empty()) entries.erase(oldestEntry);
}

void TNetCookies::RemoveExpired() {
  std::unique_lock<std::shared_mutex> lock(lock_);
  const int64_t now = clock_.NowLocalMilliseconds();
  for (TNetCookieList::Entry& entry : index_.Entries()) {
    for (size_t i = entry.cookies.size(); i-- > 0;) {
      const std::string& expires = entry.cookies[i]->Expires;
      if (expires.empty()) continue;
      // An unreadable date counts as long past.
      const int64_t date =
          ReadInternetDate(expires, clock_).value_or(kEarliestDate + clock_.UTCOffsetSeconds());
      if (date * 1000 < now) entry.cookies.erase(entry.cookies.begin() + static_cast<long>(i));
    }
  }
}

std::string TNetCookies::CookieText(const std::string& host, const std::string& path, bool secure,
                                    uint64_t storedAfter) const {
  std::shared_lock<std::shared_mutex> lock(lock_);
  std::vector<const TNetNetscapeCookie*> collected;
  for (const TNetCookieList::Entry& entry : index_.Entries()) {
    for (auto cookie = entry.cookies.rbegin(); cookie != entry.cookies.rend(); ++cookie) {
      const TNetNetscapeCookie& c = **cookie;
      if (c.StoredAs > storedAfter && c.MatchesHost(host) && c.MatchesPath(path) &&
          (!c.Secure || secure) && !c.Value.empty()) {
        collected.push_back(&c);
      }
    }
  }
  std::stable_sort(collected.begin(), collected.end(), [](const auto* a, const auto* b) {
    return text::ToLower(a->Path) > text::ToLower(b->Path);
  });
  std::string result;
  for (const TNetNetscapeCookie* cookie : collected) {
    if (!result.empty()) result += "; ";
    result += cookie->CookieName + "=" + cookie->Value;
  }
  return result;
}

void TNetCookies::Clear() {
  std::unique_lock<std::shared_mutex> lock(lock_);
  for (TNetCookieList::Entry& entry : index_.Entries()) entry.cookies.clear();
}

uint64_t TNetCookies::StoredCount() const {
  std::shared_lock<std::shared_mutex> lock(lock_);
  return storedCount_;
}

int TNetCookies::Count() const {
  std::shared_lock<std::shared_mutex> lock(lock_);
  int count = 0;
  for (const TNetCookieList::Entry& entry : index_.Entries()) {
    count += static_cast<int>(entry.cookies.size());
  }
  return count;
}

const TNetNetscapeCookie* TNetCookies::Find(const std::string& name) const {
  std::shared_lock<std::shared_mutex> lock(lock_);
  for (const TNetCookieList::Entry& entry : index_.Entries()) {
    for (const auto& cookie : entry.cookies) {
      if (text::EqualsIgnoringCase(cookie->CookieName, name)) return cookie.get();
    }
  }
  return nullptr;
}
