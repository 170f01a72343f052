#pragma once
// Socket error codes: the Windows Sockets numbers the messages are built on,
// the mapping of this platform's errno values onto them, and their texts.

#include <string>

namespace socket_errors {

constexpr int kWouldBlock = 10035;
constexpr int kAddressInUse = 10048;
constexpr int kNetworkUnreachable = 10051;
constexpr int kConnectionAborted = 10053;
constexpr int kConnectionReset = 10054;
constexpr int kShutdown = 10058;
constexpr int kTimedOut = 10060;
constexpr int kHostUnreachable = 10065;
constexpr int kHostNotFound = 11001;
constexpr int kTryAgain = 11002;
constexpr int kNoRecovery = 11003;

// The Windows Sockets code for an errno value; an errno without counterpart
// is kept as it is, so its message has no text.
int FromErrno(int errnoValue);

// The code for a getaddrinfo() failure.
int FromResolverError(int gaiError, int errnoValue);

// The text of a code; empty for a code outside the table.
const char* Text(int code);

// "Socket Error # <code>\r\n<text>".
std::string Message(int code);

}  // namespace socket_errors
