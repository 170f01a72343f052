#pragma once
// Shared pieces of the connection tests.

#include <memory>
#include <string>

#include "net_exceptions.h"
#include "streams.h"
#include "support/loopback_server.h"
#include "tcp_client.h"

namespace testing_support {

inline std::unique_ptr<TNetTCPClient> ClientFor(const LoopbackServer& server) {
  auto client = std::make_unique<TNetTCPClient>();
  client->SetHost("127.0.0.1");
  client->SetPort(server.Port());
  return client;
}

inline std::unique_ptr<TNetTCPClient> ConnectedClientFor(const LoopbackServer& server) {
  auto client = ClientFor(server);
  client->Connect();
  return client;
}

inline std::string Contents(const TMemoryStream& stream) {
  return std::string(stream.Memory(), static_cast<size_t>(stream.Size()));
}

// The message of the exception of that type the call raises, or "" when it
// raises none; one of another type fails the test.
template <class Expected = std::exception, class Call>
std::string MessageOf(Call call) {
  try {
    call();
  } catch (const Expected& e) {
    return e.what();
  }
  return "";
}

}  // namespace testing_support
