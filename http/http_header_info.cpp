#include "http_header_info.h"

#include "integer_text.h"
#include "text.h"

const char* MethodName(TNetHTTPMethod method) {
  static const char* const kNames[] = {"HEAD",  "GET", "POST",   "OPTIONS",
                                       "TRACE", "PUT", "DELETE", "CONNECT"};
  return kNames[static_cast<int>(method)];
}

void TNetHTTPRequest::BuildRawHeaders(const std::string& cookie) {
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
  if (ContentRangeStart != 0 || ContentRangeEnd != 0) {
    set("Range", "bytes=" + std::to_string(ContentRangeStart) + "-" +
                     (ContentRangeEnd != 0 ? std::to_string(ContentRangeEnd) : ""));
  }
  set("Cookie", cookie);
}

void TNetResponseHeaderInfo::ProcessHeaders() {
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
  ContentLength = ParseDecimal(RawHeaders.Values("Content-Length")).value_or(-1);
  HasContentLength = ContentLength >= 0;
  ContentRangeStart = ContentRangeEnd = 0;
  const std::string range = RawHeaders.Values("Content-Range");
  if (!range.empty()) {
    const std::string span =
        range.substr(range.find(' ') == std::string::npos ? range.size() : range.find(' ') + 1);
    const size_t dash = span.find('-');
    ContentRangeStart = StrToInt(span.substr(0, dash));
    const std::string afterDash = dash == std::string::npos ? "" : span.substr(dash + 1);
    ContentRangeEnd = StrToInt(afterDash.substr(0, afterDash.find('/')));
  }
  WWWAuthenticate = RawHeaders.AllValues("WWW-Authenticate");
  ProxyAuthenticate = RawHeaders.AllValues("Proxy-Authenticate");
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
