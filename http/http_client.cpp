#include "http_client.h"

#include <algorithm>
#include <optional>

#include "cp1251.h"
#include "finally.h"
#include "form_encoding.h"
#include "integer_text.h"
#include "net_exceptions.h"
#include "streams.h"
#include "text.h"

namespace {

constexpr int kMaxHeaderLines = 1000;
constexpr size_t kMaxHeadBytes = 1 << 20;
// Interim replies a server may send before its answer; an endless row of
// them would keep a request from ever ending.
constexpr int kMaxInterimReplies = 20;
constexpr int32_t kRedirectBodyTimeout = 4000;
constexpr int32_t kErrorBodyTimeout = 2000;
// A body kept in memory (a page, a login reply) is never larger; a body
// only read to be shown in an error or thrown away is read this far.
constexpr int64_t kMaxBodyInMemory = 16 << 20;
constexpr int64_t kMaxSideBody = 64 << 10;

std::string Contents(const TMemoryStream& stream) {
  return std::string(stream.Memory(), static_cast<size_t>(stream.Size()));
}

// A chunk-size line: hexadecimal up to a space or a chunk extension
// (RFC 9112, 7.1.1: "1a;name=value"); nothing when unreadable.
std::optional<int64_t> ChunkSize(const std::string& line) {
  return ParseHexByteCount(text::Trim(line.substr(0, line.find_first_of(" \t;"))));
}

bool HasControlBytes(const std::string& s) {
  return std::any_of(s.begin(), s.end(), [](char c) {
    return static_cast<unsigned char>(c) <= 0x20 || static_cast<unsigned char>(c) == 0x7F;
  });
}

// The forms of a Location that the path rules of a request do not cover:
// another host on the same scheme, the same document with a new query, or
// the document itself.
std::string LocationAgainst(const TNetURI& current, const std::string& location) {
  if (location.starts_with("//")) return current.Protocol + ":" + location;
  if (location.starts_with("?")) return current.Path + current.Document + location;
  if (location.starts_with("#")) return current.Path + current.Document + current.Params;
  return location;
}

}  // namespace

TNetCustomHTTP::TNetCustomHTTP() {
  url_.Port = "80";
  TNetTCPClient::SetPort(80);
}

TNetCustomHTTP::~TNetCustomHTTP() = default;

void TNetCustomHTTP::SetPort(int32_t port) {
  TNetTCPClient::SetPort(port);
  url_.Port = std::to_string(port);
}

void TNetCustomHTTP::SetCookieManager(TNetCookieManager* manager) {
  ownCookieManager_.reset();
  cookieManager_ = manager;
}

void TNetCustomHTTP::DoRequest(TNetHTTPMethod method, std::string url, TStream* source,
                               TStream* dest) {
  const int64_t destStart = dest ? dest->Position() : 0;
  WithCleanup(
      [&] {
        for (;;) {
          ++redirectCount_;
          request_.Method = method;
          request_.Source = source;
          PrepareRequest(url);
          SetHostAndPort();
          const bool reusing = ConnectToHost();
          responseUnread_ = true;
          SendRequestAndReadResult(reusing);
          if (!BodyWanted()) return;
          const int32_t code = response_.ResponseCode;
          if ((code >= 300 && code <= 399 && code != 304) || !response_.Location.empty()) {
            if (FollowRedirect(method, url, dest, destStart)) continue;
            return;
          }
          if (code >= 200 && code <= 299) {
            if (headCutShort_) throw ENetProtocolReplyError("Undefined situation");
            if (code == 204) {
              responseUnread_ = false;
            } else if (dest) {
              ReadBody(*dest);
            }
            return;
          }
          RaiseProtocolError();
        }
      },
      [&] {
        // Leftovers of a response not read to its end would be taken for
        // the next response.
        response_.KeepAlive = !responseUnread_ && KeepAliveRule();
        if (!response_.KeepAlive) Disconnect();
        responseUnread_ = false;
        redirectCount_ = 0;
      });
}

bool TNetCustomHTTP::BodyWanted() {
  bool continueRead = true;
  if (OnHeadersAvailable) OnHeadersAvailable(this, continueRead);
  return continueRead;
}

bool TNetCustomHTTP::FollowRedirect(TNetHTTPMethod& method, std::string& url, TStream* dest,
                                    int64_t destStart) {
  std::string target = response_.Location;
  bool handled = HandleRedirects;
  if (OnRedirect) OnRedirect(this, target, method, handled);
  if (!handled) RaiseProtocolError();
  if (Connected()) DiscardRedirectBody();
  if (!HandleRedirects) return false;
  // A loop, or a chain longer than the limit, leads to no body at all.
  if (redirectCount_ >= RedirectMaximum) throw ENetTooManyRedirects("Too many redirects.");
  // The caller's stream gets nothing of a response that only led elsewhere.
  if (dest) {
    dest->SetPosition(destStart);
    dest->SetSize(destStart);
  }
  url = LocationAgainst(url_, target);
  return true;
}

void TNetCustomHTTP::PrepareRequest(const std::string& url) {
  const TNetURI uri(url);
  // Only the web's own protocol is spoken: a location of another scheme
  // (file, ftp, gopher) must not be asked of a web server.
  if (!uri.Protocol.empty() && !text::EqualsIgnoringCase(uri.Protocol, "http") &&
      !text::EqualsIgnoringCase(uri.Protocol, "https")) {
    throw ENetUnknownProtocol("Unsupported protocol \"" + uri.Protocol + "\".");
  }
  if (HasControlBytes(uri.Host)) throw ENetInvalidHostName("Invalid host name.");
  if (!uri.Username.empty()) {
    request_.Username = uri.Username;
    request_.Password = uri.Password;
    url_.Username = request_.Username;
    url_.Password = request_.Password;
  }
  url_.Path = TNetURI::ResolvePath(url_.Path, uri.Path);
  url_.Document = uri.Document;
  url_.Params = uri.Params;
  if (!uri.Host.empty()) url_.Host = uri.Host;
  url_.Protocol = uri.Protocol.empty() ? "http" : uri.Protocol;
  if (!uri.Port.empty()) {
    url_.Port = uri.Port;
  } else if (text::EqualsIgnoringCase(uri.Protocol, "http")) {
    url_.Port = "80";
  } else if (text::EqualsIgnoringCase(uri.Protocol, "https")) {
    url_.Port = "443";
  }
  if (url_.Port.empty()) throw ENetUnknownProtocol("");

  const TNetHTTPMethod method = request_.Method;
  request_.URL = method == TNetHTTPMethod::hmOptions && url_.Document == "*" ? "*" : url_.Target();
  const bool needs11 = method == TNetHTTPMethod::hmOptions || method == TNetHTTPMethod::hmTrace ||
                       method == TNetHTTPMethod::hmPut || method == TNetHTTPMethod::hmDelete;
  if (needs11 && ProtocolVersion != TNetHTTPProtocolVersion::pv1_1) {
    throw ENetException("This request method is supported in HTTP 1.1");
  }
  const bool hasBody = method == TNetHTTPMethod::hmPost || method == TNetHTTPMethod::hmPut;
  request_.ContentLength = hasBody && request_.Source ? request_.Source->Size() : -1;
  request_.Host = url_.Host + (url_.Port != "80" ? ":" + url_.Port : "");
}

void TNetCustomHTTP::SetHostAndPort() {
  if (text::EqualsIgnoringCase(url_.Protocol, "https")) {
    throw ENetIOHandlerPropInvalid("IOHandler value is not valid");
  }
  int32_t port = 0;
  try {
    port = NetworkStrToInt(url_.Port);
  } catch (const ENetNotANumber& error) {
    throw ENetInvalidPort(error.what());
  }
  if (!text::EqualsIgnoringCase(Host(), url_.Host) || Port() != port) {
    Disconnect();
    SetHost(url_.Host);
    SetPort(port);
  }
}

bool TNetCustomHTTP::ConnectToHost() {
  if (ProtocolVersion == TNetHTTPProtocolVersion::pv1_0 && request_.Connection.empty()) {
    request_.Connection = "keep-alive";
  }
  if (responseUnread_ || !KeepAliveRule()) Disconnect();
  PollClosed(false);
  // Bytes the server sent beyond its last response would be read as the
  // answer to this request: such a connection is not reused.
  if (InputBuffer().Size() > 0) Disconnect();
  if (Connected()) return true;
  Connect(ConnectTimeout);
  return false;
}

void TNetCustomHTTP::SendRequestAndReadResult(bool reusing) {
  // A kept connection the server closed as the request went out: the server
  // never answered it, and it goes once more on a new connection, as
  // browsers do. A body to send was sent from its stream and is not resent.
  const auto resend = [&] {
    if (!reusing || request_.Source) return false;
    Disconnect();
    Connect(ConnectTimeout);
    SendRequest();
    ReadResult();
    return true;
  };
  try {
    SendRequest();
    ReadResult();
  } catch (const ENetConnClosedGracefully&) {
    if (!resend()) throw;
  } catch (const ENetSocketError& error) {
    const int code = error.LastError();
    if ((code != 10053 && code != 10054 && code != 10058) || !resend()) throw;
  }
}

void TNetCustomHTTP::SendRequest() {
  const std::string cookie = AllowCookies && cookieManager_
                                 ? cookieManager_->GenerateCookieList(url_.Host, url_.Path, false)
                                 : "";
  request_.BuildRawHeaders(cookie, TNetClock::System());
  const char* version = ProtocolVersion == TNetHTTPProtocolVersion::pv1_0 ? "1.0" : "1.1";
  StartWriteBatch(-1);
  try {
    WriteLine(std::string(MethodName(request_.Method)) + " " + request_.URL + " HTTP/" + version);
    for (const std::string& line : request_.RawHeaders.Lines()) {
      if (!line.empty()) WriteLine(line);
    }
    WriteLine("");
  } catch (...) {
    CancelWriteBatch();
    throw;
  }
  FinishWriteBatch();
  if (request_.ContentLength >= 0 && request_.Source) WriteFromStream(*request_.Source);
}

void TNetCustomHTTP::ReadResult() {
  int interimReplies = 0;
  do {
    if (interimReplies++ > kMaxInterimReplies)
      throw ENetProtocolReplyError("Too many interim responses.");
    response_.RawHeaders.Clear();
    response_.BodyTruncated = false;
    response_.SetResponseText(ReadLine());
    ReadHeaderLines();
    response_.ProcessHeaders(TNetClock::System());
    StoreCookies();
    // Interim replies (100 Continue, 102 Processing, 103 Early Hints) come
    // before the answer; 101 would switch protocols, which was never asked.
  } while (response_.ResponseCode >= 100 && response_.ResponseCode <= 199 &&
           response_.ResponseCode != 101);
  // As curl does: a body whose end cannot be known is not read at all.
  if (response_.InvalidContentLength) throw ENetProtocolReplyError("Invalid Content-Length");
}

void TNetCustomHTTP::ReadHeaderLines() {
  headCutShort_ = false;
  size_t headBytes = response_.ResponseText.size() + 2;
  try {
    for (;;) {
      const std::string line = ReadLine();
      if (line.empty()) return;
      headBytes += line.size() + 2;
      if (static_cast<int>(response_.RawHeaders.Lines().size()) >= kMaxHeaderLines ||
          headBytes > kMaxHeadBytes) {
        throw ENetResponseHeaderTooLarge(Utf8ToCp1251("Заголовок ответа слишком велик."));
      }
      response_.RawHeaders.Add(line);
    }
  } catch (const ENetConnClosedGracefully&) {
    // The socket is already closed on our side; go on with the lines read so far.
    headCutShort_ = true;
  }
}

void TNetCustomHTTP::StoreCookies() {
  if (!AllowCookies) return;
  if (!cookieManager_) {
    ownCookieManager_ = std::make_unique<TNetCookieManager>();
    cookieManager_ = ownCookieManager_.get();
  }
  for (const std::string& cookie : response_.RawHeaders.AllValues("Set-cookie")) {
    cookieManager_->AddServerCookie(cookie, url_.Host);
  }
  for (const std::string& cookie : response_.RawHeaders.AllValues("Set-cookie2")) {
    cookieManager_->AddServerCookie2(cookie, url_.Host);
  }
}

void TNetCustomHTTP::ReadBody(TStream& stream) {
  bool readToEnd = true;
  if (text::ToLower(response_.TransferEncoding).find("chunked") != std::string::npos) {
    // Chunks decide over a length (RFC 9112, 6.3); a reply that sent both
    // may be framed otherwise than we read it, so its connection goes.
    readToEnd = ReadChunkedBody(stream) && !response_.HasContentLength;
  } else if (response_.ContentLength > 0) {
    try {
      ReadToStream(stream, response_.ContentLength, false);
    } catch (const ENetConnClosedGracefully&) {
      // A body cut short by the server ends with the bytes that came.
      response_.BodyTruncated = true;
    }
  } else if (!response_.HasContentLength) {
    ReadToStream(stream, -1, true);
  }
  responseUnread_ = !readToEnd || response_.BodyTruncated;
}

bool TNetCustomHTTP::ReadChunkedBody(TStream& stream) {
  ReportStatus(TNetStatus::hsStatusText, "Chunk Started");
  std::optional<int64_t> size = ChunkSize(ReadLine());
  for (; size && *size > 0; size = ChunkSize(ReadLine())) {
    ReadToStream(stream, *size, false);
    // A chunk longer than its size: the framing no longer tells the body.
    if (!ReadLine().empty()) {
      response_.BodyTruncated = true;
      return false;
    }
  }
  // An unreadable size ends the body before its last chunk.
  response_.BodyTruncated = size != 0;
  // Trailer lines are not read: a line here means the response goes on.
  return ReadLine().empty();
}

void TNetCustomHTTP::DiscardRedirectBody() {
  const int32_t savedTimeout = ReadTimeout;
  ReadTimeout = kRedirectBodyTimeout;
  WithCleanup(
      [&] {
        try {
          TBoundedMemoryStream discarded(kMaxSideBody);
          ReadBody(discarded);
        } catch (const ENetNotConnected&) {
          throw;  // stopped by the user: no further request goes out
        } catch (const std::exception&) {
          // A redirect's body does not matter (the connection is not kept
          // when it was not read to its end); the next request decides.
        }
      },
      [&] { ReadTimeout = savedTimeout; });
}

void TNetCustomHTTP::RaiseProtocolError() {
  TBoundedMemoryStream body(kMaxSideBody);
  const int32_t savedTimeout = ReadTimeout;
  ReadTimeout = kErrorBodyTimeout;
  WithCleanup(
      [&] {
        try {
          ReadBody(body);
        } catch (const ENetBodyTooLarge&) {
          // The error is shown with what came; the rest is never read.
        }
      },
      [&] { ReadTimeout = savedTimeout; });
  throw ENetHTTPProtocolException(response_.ResponseCode, response_.ResponseText, Contents(body));
}

bool TNetCustomHTTP::KeepAliveRule() {
  CheckClosed(false, false);
  if (!Connected()) return false;
  const auto says = [this](const char* value) {
    return text::EqualsIgnoringCase(response_.Connection, value) ||
           text::EqualsIgnoringCase(response_.ProxyConnection, value);
  };
  return ProtocolVersion == TNetHTTPProtocolVersion::pv1_1 ? !says("close") : says("keep-alive");
}

void TNetHTTP::Get(const std::string& url, TStream& dest) {
  DoRequest(TNetHTTPMethod::hmGet, url, nullptr, &dest);
}

std::string TNetHTTP::Get(const std::string& url) {
  TBoundedMemoryStream body(kMaxBodyInMemory);
  Get(url, body);
  return Contents(body);
}

void TNetHTTP::Post(const std::string& url, TStream& source, TStream& dest) {
  Disconnect();
  const TNetHTTPProtocolVersion savedVersion = ProtocolVersion;
  if (!HTTPOptions.count(TNetHTTPOption::hoKeepOrigProtocol)) {
    ProtocolVersion = TNetHTTPProtocolVersion::pv1_0;
  }
  WithCleanup([&] { DoRequest(TNetHTTPMethod::hmPost, url, &source, &dest); },
              [&] { ProtocolVersion = savedVersion; });
}

std::string TNetHTTP::Post(const std::string& url, std::vector<std::string>& fields) {
  std::string& contentType = Request().ContentType;
  if (contentType.empty() || text::EqualsIgnoringCase(contentType, "text/html")) {
    contentType = "application/x-www-form-urlencoded";
  }
  if (HTTPOptions.count(TNetHTTPOption::hoForceEncodeParams)) EncodeFormFields(fields);
  const std::string body = FormBody(fields);
  TMemoryStream source;
  source.Write(body.data(), static_cast<int64_t>(body.size()));
  TBoundedMemoryStream result(kMaxBodyInMemory);
  Post(url, source, result);
  return Contents(result);
}
