#include "net_exceptions.h"

#include "socket_error_texts.h"

ENetSocketError::ENetSocketError(int errorCode)
    : ENetException(socket_errors::Message(errorCode)), errorCode_(errorCode) {}

static std::string PortRange(int minPort, int maxPort) {
  return "(" + std::to_string(minPort) + " - " + std::to_string(maxPort) + ")";
}

void RaiseInvalidPortRange(int minPort, int maxPort) {
  throw ENetInvalidPortRange("Invalid Port Range " + PortRange(minPort, maxPort));
}

void RaiseCanNotBindPortInRange(int minPort, int maxPort) {
  throw ENetCanNotBindPortInRange("Can not bind in port range " + PortRange(minPort, maxPort));
}

void RaiseInvalidIPAddress(const std::string& text) {
  throw ENetInvalidIPAddress(text + " is not a valid IP address.");
}

int32_t NetworkStrToInt(const std::string& text) {
  try {
    return StrToInt(text);
  } catch (const EConvertError& error) {
    throw ENetNotANumber(error.what());
  }
}
