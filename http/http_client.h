#pragma once
// The HTTP/1.x client: one object for every request of the program, over
// one TCP connection that is kept between calls when the server allows.

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "cookie_manager.h"
#include "http_header_info.h"
#include "tcp_client.h"
#include "uri.h"

enum class TNetHTTPOption { hoInProcessAuth, hoKeepOrigProtocol, hoForceEncodeParams };
using TNetHTTPOptions = std::set<TNetHTTPOption>;

// May change the target and the method of a redirect, or refuse it (handled = false).
using TNetRedirectEvent = std::function<void(TNetComponent* Sender, std::string& dest,
                                             TNetHTTPMethod& method, bool& handled)>;
// May decide that the body of a response is not wanted.
using TNetHeadersAvailableEvent = std::function<void(TNetComponent* Sender, bool& continueRead)>;

class TNetCustomHTTP : public TNetTCPClient {
 public:
  TNetCustomHTTP();
  ~TNetCustomHTTP() override;

  TNetHTTPProtocolVersion ProtocolVersion = TNetHTTPProtocolVersion::pv1_1;
  TNetHTTPOptions HTTPOptions = {TNetHTTPOption::hoForceEncodeParams};
  bool HandleRedirects = false;
  int32_t RedirectMaximum = 15;
  int32_t AuthRetries = 3;
  bool AllowCookies = true;
  int32_t ConnectTimeout = 0;
  TNetRedirectEvent OnRedirect;
  TNetHeadersAvailableEvent OnHeadersAvailable;

  // Also the port text of the current location.
  void SetPort(int32_t port) override;

  // A store given by the owner, which keeps it; replaces the client's own.
  void SetCookieManager(TNetCookieManager* manager);
  TNetCookieManager* CookieManager() const { return cookieManager_; }

  TNetHTTPRequest& Request() { return request_; }
  TNetHTTPResponse& Response() { return response_; }
  const TNetURI& URL() const { return url_; }
  int32_t ResponseCode() const { return response_.ResponseCode; }
  int32_t RedirectCount() const { return redirectCount_; }

 protected:
  // One call: the request, the redirects it leads to, and the body into dest.
  void DoRequest(TNetHTTPMethod method, std::string url, TStream* source, TStream* dest);

 private:
  // Whether the caller wants the body (OnHeadersAvailable).
  bool BodyWanted();
  // Handles a redirect response; true when the call goes on with a request to url.
  bool FollowRedirect(TNetHTTPMethod& method, std::string& url, TStream* dest, int64_t destStart);
  void PrepareRequest(const std::string& url);
  void SetHostAndPort();
  // True when the request goes out on a connection kept from before.
  bool ConnectToHost();
  void SendRequestAndReadResult(bool reusing);
  void SendRequest();
  void ReadResult();
  void ReadHeaderLines();
  void StoreCookies();
  // Reads the body as the response frames it.
  void ReadBody(TStream& stream);
  // Whether the chunked body was read to the end of the response.
  bool ReadChunkedBody(TStream& stream);
  void DiscardRedirectBody();
  [[noreturn]] void RaiseProtocolError();
  bool KeepAliveRule();

  TNetHTTPRequest request_;
  TNetHTTPResponse response_;
  TNetURI url_;  // the current location
  TNetCookieManager* cookieManager_ = nullptr;
  std::unique_ptr<TNetCookieManager> ownCookieManager_;
  int32_t redirectCount_ = 0;
  bool headCutShort_ = false;  // the server closed while the head was read
  // A request went out whose response has not been read to its end.
  bool responseUnread_ = false;
};

class TNetHTTP : public TNetCustomHTTP {
 public:
  // Get-into-stream: the body is written at the stream's position.
  void Get(const std::string& url, TStream& dest);
  // Get-to-string: a body over 16 MiB fails the call (ENetBodyTooLarge).
  std::string Get(const std::string& url);
  // Post-stream: runs as HTTP/1.0 unless hoKeepOrigProtocol.
  void Post(const std::string& url, TStream& source, TStream& dest);
  // Post-form-returning-text: the name=value lines are encoded in place; a
  // reply body over 16 MiB fails the call.
  std::string Post(const std::string& url, std::vector<std::string>& fields);
};
