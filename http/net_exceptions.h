#pragma once
// Exceptions of the network layer. Every network failure is an ENetException
// carrying the message the user is shown.

#include <stdexcept>
#include <string>

#include "integer_text.h"
#include "message.h"

class ENetException : public std::runtime_error {
 public:
  explicit ENetException(const std::string& message) : std::runtime_error(message) {}
};

#define MELODROP_NET_EXCEPTION(Name, Base)                       \
  class Name : public Base {                                     \
   public:                                                       \
    explicit Name(const std::string& message) : Base(message) {} \
  }

// Connection layer.
MELODROP_NET_EXCEPTION(ENetSilentException, ENetException);
MELODROP_NET_EXCEPTION(ENetConnClosedGracefully, ENetSilentException);
MELODROP_NET_EXCEPTION(ENetTCPConnectionError, ENetException);
MELODROP_NET_EXCEPTION(ENetNotConnected, ENetTCPConnectionError);
MELODROP_NET_EXCEPTION(ENetNotEnoughDataInBuffer, ENetTCPConnectionError);
MELODROP_NET_EXCEPTION(ENetNoDataToRead, ENetTCPConnectionError);
MELODROP_NET_EXCEPTION(ENetClosedSocket, ENetException);
MELODROP_NET_EXCEPTION(ENetReadTimeout, ENetException);
MELODROP_NET_EXCEPTION(ENetReadLnMaxLineLengthExceeded, ENetException);
MELODROP_NET_EXCEPTION(ENetAlreadyConnected, ENetException);
MELODROP_NET_EXCEPTION(ENetConnectTimeout, ENetException);
MELODROP_NET_EXCEPTION(ENetConnectException, ENetException);
MELODROP_NET_EXCEPTION(ENetInterceptCircularLink, ENetException);

// HTTP client.
MELODROP_NET_EXCEPTION(ENetProtocolReplyError, ENetException);
MELODROP_NET_EXCEPTION(ENetUnknownProtocol, ENetException);
MELODROP_NET_EXCEPTION(ENetIOHandlerPropInvalid, ENetException);
MELODROP_NET_EXCEPTION(ENetResponseHeaderTooLarge, ENetException);
MELODROP_NET_EXCEPTION(ENetBodyTooLarge, ENetException);
MELODROP_NET_EXCEPTION(ENetTooManyRedirects, ENetException);
MELODROP_NET_EXCEPTION(ENetInvalidHostName, ENetException);

// Socket stack.
MELODROP_NET_EXCEPTION(ENetInvalidSocket, ENetException);
MELODROP_NET_EXCEPTION(ENetSocketHandleError, ENetException);
MELODROP_NET_EXCEPTION(ENetCouldNotBindSocket, ENetSocketHandleError);
MELODROP_NET_EXCEPTION(ENetCanNotBindPortInRange, ENetSocketHandleError);
MELODROP_NET_EXCEPTION(ENetInvalidPortRange, ENetSocketHandleError);
MELODROP_NET_EXCEPTION(ENetStackError, ENetException);
MELODROP_NET_EXCEPTION(ENetStackInitializationFailed, ENetStackError);
MELODROP_NET_EXCEPTION(ENetStackSetSizeExceeded, ENetStackError);
MELODROP_NET_EXCEPTION(ENetInvalidIPAddress, ENetStackError);

#undef MELODROP_NET_EXCEPTION

// A number that a reply or a link holds (a range, a port) and that is no
// number; its message is the integer rules' own.
class ENetNotANumber : public EConvertError {
 public:
  explicit ENetNotANumber(const std::string& message) : EConvertError(message) {}
};

// StrToInt for a text from the network: raises ENetNotANumber.
int32_t NetworkStrToInt(const std::string& text);

// A port in a link that is no number: the link is at fault, not a reply.
class ENetInvalidPort : public ENetNotANumber {
 public:
  using ENetNotANumber::ENetNotANumber;
};

// A failed socket call; the message is "Socket Error # <code>\r\n<text>".
class ENetSocketError : public ENetException {
 public:
  explicit ENetSocketError(int errorCode);
  int LastError() const { return errorCode_; }

 private:
  int errorCode_;
};

// An HTTP error status: the message is the status line, as the server sent it.
class ENetHTTPProtocolException : public ENetProtocolReplyError, public TMessageCarrier {
 public:
  ENetHTTPProtocolException(int errorCode, const std::string& statusLine,
                            const std::string& errorBody)
      : ENetProtocolReplyError(statusLine), errorCode_(errorCode), errorBody_(errorBody) {}
  TMessage Message() const override { return TMessage().Network(what()); }
  int ErrorCode() const { return errorCode_; }
  const std::string& ErrorMessage() const { return errorBody_; }

 private:
  int errorCode_;
  std::string errorBody_;
};

// Raise helpers for the messages that carry values.
[[noreturn]] void RaiseInvalidPortRange(int minPort, int maxPort);
[[noreturn]] void RaiseCanNotBindPortInRange(int minPort, int maxPort);
[[noreturn]] void RaiseInvalidIPAddress(const std::string& text);
