#pragma once
// Cookie items and the store that indexes them by domain and path.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <shared_mutex>
#include <string>
#include <vector>

#include "net_clock.h"

enum class TNetCookieFlavour { Netscape, RFC2109, RFC2965 };

// A cookie as a "Set-cookie" value describes it; the base of the flavours.
class TNetNetscapeCookie {
 public:
  explicit TNetNetscapeCookie(const TNetClock& clock) : clock_(clock) {}
  virtual ~TNetNetscapeCookie() = default;

  // Parses the header value, unless it is the text already held.
  void SetCookieText(const std::string& cookieText);
  const std::string& CookieText() const { return cookieText_; }

  std::string CookieName;
  std::string Value;
  std::string Path;
  std::string Domain;
  std::string Expires;  // as received, or produced from a max-age
  bool Secure = false;
  // Set without a Domain attribute: sent back to that host alone.
  bool HostOnly = false;
  // The store's count of stored cookies when this one was last stored.
  uint64_t StoredAs = 0;
  TNetCookieFlavour Flavour = TNetCookieFlavour::Netscape;

  // The host is the domain, or one below it when the domain was named.
  bool MatchesHost(const std::string& host) const;
  // The path is the cookie's path or lies below it ("/mail" covers
  // "/mail/user/", not "/mailbox/").
  bool MatchesPath(const std::string& path) const;

 protected:
  // The attribute items after the cookie itself: "NAME=value" or "NAME".
  using Attributes = std::vector<std::string>;
  virtual void LoadProperties(const Attributes& attributes);
  // The value of the first "NAME=..." item; found tells whether there is one.
  static std::string AttributeValue(const Attributes& attributes, const char* name,
                                    bool* found = nullptr);
  static bool HasItem(const Attributes& attributes, const char* name);
  const TNetClock& Clock() const { return clock_; }

 private:
  const TNetClock& clock_;
  std::string cookieText_;
};

// Made for every "Set-cookie" value.
class TNetCookieRFC2109 : public TNetNetscapeCookie {
 public:
  explicit TNetCookieRFC2109(const TNetClock& clock);

  int64_t MaxAge = -1;  // seconds; -1: none
  std::string Version;
  std::string Comment;

 protected:
  void LoadProperties(const Attributes& attributes) override;

 private:
  int64_t SecondsUntil(const std::string& date) const;
};

// Made for every "Set-cookie2" value.
class TNetCookieRFC2965 : public TNetCookieRFC2109 {
 public:
  explicit TNetCookieRFC2965(const TNetClock& clock);

  std::string CommentURL;
  bool Discard = false;
  std::vector<int32_t> PortList;

 protected:
  // A quoted port list with a part that is no integer raises EConvertError.
  void LoadProperties(const Attributes& attributes) override;
};

// The domain index: entries keyed by domain followed by path, in the order
// their keys first occurred, each with its cookies in the order their names
// first occurred. An entry goes when a limit of the store removes its last
// cookie.
class TNetCookieList {
 public:
  struct Entry {
    std::string key;
    std::vector<std::unique_ptr<TNetNetscapeCookie>> cookies;
  };

  Entry& EntryFor(const std::string& key);
  std::vector<Entry>& Entries() { return entries_; }
  const std::vector<Entry>& Entries() const { return entries_; }

 private:
  std::vector<Entry> entries_;
};

// Every cookie held, under a readers-writer lock.
class TNetCookies {
 public:
  // RFC 6265, 6.1: what a server may make the store keep.
  static constexpr size_t kMaxCookiesPerDomain = 50;
  static constexpr size_t kMaxCookies = 3000;

  explicit TNetCookies(const TNetClock& clock) : clock_(clock) {}

  // Stores under domain + path; a cookie of the same name there takes over
  // the new one's text and flavour, keeping its place. Past 50 cookies for
  // a domain, or 3000 in all, the one stored longest ago goes.
  void AddCookie(std::unique_ptr<TNetNetscapeCookie> cookie);
  // Removes every cookie whose expires date is past (or unreadable).
  void RemoveExpired();
  // name=value pairs of the cookies for host and path, the longest path
  // first; with storedAfter, only those stored after that count.
  std::string CookieText(const std::string& host, const std::string& path, bool secure,
                         uint64_t storedAfter = 0) const;
  // How many cookies were stored so far, replacements included.
  uint64_t StoredCount() const;
  void Clear();

  int Count() const;
  // The held cookie of that name, or nullptr; for inspection.
  const TNetNetscapeCookie* Find(const std::string& name) const;
  const TNetCookieList& Index() const { return index_; }

 private:
  using CookieTest = std::function<bool(const TNetNetscapeCookie&)>;
  // The domain without its leading dot.
  static std::string DomainOf(const TNetNetscapeCookie& cookie);
  size_t CountWhere(const CookieTest& test) const;
  void RemoveOldestWhere(const CookieTest& test);

  const TNetClock& clock_;
  TNetCookieList index_;
  uint64_t storedCount_ = 0;
  mutable std::shared_mutex lock_;
};
