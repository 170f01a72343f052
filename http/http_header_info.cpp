#include "http_header_info.h"

#include "integer_text.h"
#include "internet_date.h"
#include "net_exceptions.h"
#include "text.h"

const char* MethodName(TNetHTTPMethod method) {
  static const char* const kNames[] = {"HEAD",  "GET", "POST",   "OPTIONS",
                                       "TRACE", "PUT", "DELETE", "CONNECT"};
  return kNames[static_cast<int>(method)];
}

void TNetHTTPRequest::BuildRawHeaders(const std::string& cookie, const TNetClock& clock) {
  RawHeaders.Clear();
  const auto set = [this](const char* name, const std::string& value) {
    RawHeaders.SetValue(name, value);
  };
  set("Connection", Connection);
  set("Content-Version", ContentVersion);
  set("Content-Encoding", ContentEncoding);
  set("Content-Language", ContentLanguage);
  set("Content-Type", ContentType);
  if (ContentLength >= 0) set("Content-Length", std::to_string(ContentLength));
  set("Cache-control", CacheControl);
  if (Date) set("Date", WriteInternetDate(*Date, clock));
  if (Expires) set("Expires", WriteInternetDate(*Expires, clock));
  if (LastModified) set("Last-Modified", WriteGMTDate(*LastModified));
  set("Pragma", Pragma);
  for (const std::string& line : CustomHeaders.Lines()) RawHeaders.Add(line);
  set("Proxy-Connection", ProxyConnection);
  set("Host", Host);
  set("Accept", Accept);
  set("Accept-Charset", AcceptCharSet);
  set("Accept-Encoding", AcceptEncoding);
  set("Accept-Language", AcceptLanguage);
  set("From", From);
  set("Referer", Referer);
  set("User-Agent", UserAgent);
  if (LastModified) set("If-Modified-Since", WriteInternetDate(*LastModified, clock));
  if (ContentRangeStart != 0 || ContentRangeEnd != 0) {
    set("Range", "bytes=" + std::to_string(ContentRangeStart) + "-" +
                     (ContentRangeEnd != 0 ? std::to_string(ContentRangeEnd) : ""));
  }
  set("Cookie", cookie);
}

namespace {

// A date header; an unreadable date lands long past.
std::optional<int64_t> DateValue(const std::string& value, const TNetClock& clock) {
  if (value.empty()) return std::nullopt;
  return ReadInternetDate(value, clock).value_or(kEarliestDate + clock.UTCOffsetSeconds());
}

// A byte position of a range: a track past 2 GiB has them beyond 32 bits;
// any other form keeps the integer rules and their error.
int64_t RangePosition(const std::string& text) {
  if (const std::optional<int64_t> position = ParseByteCount(text)) return *position;
  return NetworkStrToInt(text);
}

}  // namespace

void TNetResponseHeaderInfo::ProcessHeaders(const TNetClock& clock) {
  Location = RawHeaders.Values("Location");
  Server = RawHeaders.Values("Server");
  Connection = RawHeaders.Values("Connection");
  ProxyConnection = RawHeaders.Values("Proxy-Connection");
  TransferEncoding = RawHeaders.Values("Transfer-Encoding");
  ContentType = RawHeaders.Values("Content-Type");
  if (ContentType.empty()) ContentType = "text/html";
  ContentEncoding = RawHeaders.Values("Content-Encoding");
  ContentLanguage = RawHeaders.Values("Content-Language");
  ContentVersion = RawHeaders.Values("Content-Version");
  Pragma = RawHeaders.Values("Pragma");
  ReadContentLength();
  ContentRangeStart = ContentRangeEnd = 0;
  ContentRangeInstanceLength = -1;
  const std::string range = RawHeaders.Values("Content-Range");
  if (!range.empty()) {
    const std::string span =
        range.substr(range.find(' ') == std::string::npos ? range.size() : range.find(' ') + 1);
    const size_t dash = span.find('-');
    ContentRangeStart = RangePosition(span.substr(0, dash));
    const std::string afterDash = dash == std::string::npos ? "" : span.substr(dash + 1);
    const size_t slash = afterDash.find('/');
    ContentRangeEnd = RangePosition(afterDash.substr(0, slash));
    if (slash != std::string::npos)
      ContentRangeInstanceLength = ParseByteCount(afterDash.substr(slash + 1)).value_or(-1);
  }
  Date = DateValue(RawHeaders.Values("Date"), clock);
  LastModified = DateValue(RawHeaders.Values("Last-Modified"), clock);
  const std::string expires = RawHeaders.Values("Expires");
  if (const std::optional<int32_t> seconds = ParseDecimal(expires)) {
    // A number of seconds from now; a negative one means long past.
    Expires = *seconds < 0 ? kEarliestDate : clock.NowLocalMilliseconds() / 1000 + *seconds;
  } else {
    Expires = DateValue(expires, clock);
  }
  WWWAuthenticate = RawHeaders.AllValues("WWW-Authenticate");
  ProxyAuthenticate = RawHeaders.AllValues("Proxy-Authenticate");
}

void TNetResponseHeaderInfo::ReadContentLength() {
  const std::vector<std::string> values = RawHeaders.AllValues("Content-Length");
  std::optional<int64_t> length;
  InvalidContentLength = false;
  for (const std::string& value : values) {
    const std::optional<int64_t> read = ParseByteCount(text::Trim(value));
    if (!read || (length && *length != *read)) InvalidContentLength = true;
    length = read;
  }
  ContentLength = InvalidContentLength ? -1 : length.value_or(-1);
  HasContentLength = ContentLength >= 0;
}

void TNetHTTPResponse::SetResponseText(const std::string& statusLine) {
  ResponseText = statusLine;
  const size_t space = statusLine.find(' ');
  const std::string afterSpace =
      space == std::string::npos ? "" : text::Trim(statusLine.substr(space + 1));
  ResponseCode = ParseDecimal(afterSpace.substr(0, afterSpace.find(' '))).value_or(-1);
  if (statusLine.size() >= 8) {
    const std::string version = statusLine.substr(5, 3);
    if (text::EqualsIgnoringCase(version, "1.0")) ResponseVersion = TNetHTTPProtocolVersion::pv1_0;
    if (text::EqualsIgnoringCase(version, "1.1")) ResponseVersion = TNetHTTPProtocolVersion::pv1_1;
  }
}
