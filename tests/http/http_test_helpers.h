#pragma once
// Shared pieces of the HTTP client tests.

#include <memory>
#include <string>

#include "cp1251.h"
#include "http_client.h"
#include "program_http_settings.h"
#include "support/loopback_server.h"
#include "tcp_test_helpers.h"

namespace testing_support {

inline const std::string kAgentLines =
    "Accept: text/html, */*\r\nUser-Agent: Mozilla/3.0 (compatible; Melodrop Library)\r\n";

// A client configured as the program configures its own.
inline std::unique_ptr<TNetHTTP> ProgramClient() {
  auto http = std::make_unique<TNetHTTP>();
  ApplyProgramHTTPSettings(*http);
  return http;
}

inline std::string BaseURL(const LoopbackServer& server) {
  return "http://127.0.0.1:" + std::to_string(server.Port());
}

inline std::string HostLine(const LoopbackServer& server) {
  return "Host: 127.0.0.1:" + std::to_string(server.Port()) + "\r\n";
}

// A response with a Content-Length.
inline std::string Reply(const std::string& status, const std::string& body,
                         const std::string& headers = "") {
  return "HTTP/1.1 " + status + "\r\n" + headers +
         "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

inline const std::string kChunkedHead = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";

inline std::string ManyHeaderLines(int count, size_t valueSize = 1) {
  std::string lines;
  for (int i = 0; i < count; ++i) lines += "X-Line: " + std::string(valueSize, 'v') + "\r\n";
  return lines;
}

// The body a GET returns, or "error: " and the failure's message in UTF-8.
inline std::string OutcomeOf(TNetHTTP& http, const std::string& url) {
  try {
    return http.Get(url);
  } catch (const std::exception& e) {
    return "error: " + Cp1251ToUtf8(e.what());
  }
}

}  // namespace testing_support
