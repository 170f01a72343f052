#pragma once
// The request and response records of the HTTP client. One of each lives
// as long as the client; values an earlier call left stay for later calls.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "header_list.h"
#include "net_clock.h"

class TStream;

enum class TNetHTTPProtocolVersion { pv1_0, pv1_1 };

enum class TNetHTTPMethod { hmHead, hmGet, hmPost, hmOptions, hmTrace, hmPut, hmDelete, hmConnect };

const char* MethodName(TNetHTTPMethod method);

// What requests and responses share.
class TNetEntityHeaderInfo {
 public:
  std::string CacheControl;
  std::string ContentEncoding;
  std::string ContentLanguage;
  int64_t ContentLength = -1;  // -1: no body (request) or no length (response)
  int64_t ContentRangeStart = 0;
  int64_t ContentRangeEnd = 0;
  int64_t ContentRangeInstanceLength = -1;  // the whole size after "/"; -1 when not told
  std::string ContentType;
  std::string ContentVersion;
  std::string Pragma;
  TNetHeaderList CustomHeaders;
  // Dates in local time (see internet_date.h); unset when absent.
  std::optional<int64_t> Date;
  std::optional<int64_t> Expires;
  std::optional<int64_t> LastModified;
};

class TNetRequestHeaderInfo : public TNetEntityHeaderInfo {
 public:
  std::string Accept = "text/html, */*";
  std::string AcceptCharSet;
  std::string AcceptEncoding;
  std::string AcceptLanguage;
  std::string From;
  std::string Referer;
  std::string UserAgent = "Mozilla/3.0 (compatible; Melodrop Library)";
  std::string Host;
  std::string Connection;
  std::string ProxyConnection;
  bool BasicAuthentication = false;
  std::string Username;
  std::string Password;
};

class TNetHTTPRequest : public TNetRequestHeaderInfo {
 public:
  TNetHTTPMethod Method = TNetHTTPMethod::hmGet;
  std::string URL;  // the request target of the current request
  TStream* Source = nullptr;
  TNetHeaderList RawHeaders;  // the lines built for the wire

  // Builds RawHeaders in the order they go out; cookie is the store's text.
  void BuildRawHeaders(const std::string& cookie, const TNetClock& clock);
};

class TNetResponseHeaderInfo : public TNetEntityHeaderInfo {
 public:
  std::string Location;
  std::string Server;
  std::string Connection;
  std::string ProxyConnection;
  std::string TransferEncoding;
  bool HasContentLength = false;
  // A Content-Length line that is not one plain non-negative decimal
  // number (or several that disagree): the body's end cannot be known.
  bool InvalidContentLength = false;
  std::vector<std::string> WWWAuthenticate;
  std::vector<std::string> ProxyAuthenticate;
  TNetHeaderList RawHeaders;  // the lines as received

  // Takes the values above from RawHeaders.
  void ProcessHeaders(const TNetClock& clock);

 private:
  void ReadContentLength();
};

class TNetHTTPResponse : public TNetResponseHeaderInfo {
 public:
  std::string ResponseText;  // the status line
  int32_t ResponseCode = -1;
  TNetHTTPProtocolVersion ResponseVersion = TNetHTTPProtocolVersion::pv1_1;
  bool KeepAlive = false;
  // The body ended before its announced end: fewer bytes than the length,
  // or a chunked body without its last chunk.
  bool BodyTruncated = false;
  TStream* ContentStream = nullptr;

  // Takes the code and the version from the status line.
  void SetResponseText(const std::string& statusLine);
};
