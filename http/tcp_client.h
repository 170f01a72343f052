#pragma once
// A TCP connection that connects to a host and port.

#include <cstdint>
#include <string>

#include "tcp_connection.h"

class TNetTCPClient : public TNetTCPConnection {
 public:
  std::string Host;
  int32_t Port = 0;
  std::string BoundIP;    // empty: any local address
  int32_t BoundPort = 0;  // 0: chosen by the system
  int32_t BoundPortMin = 0;
  int32_t BoundPortMax = 0;
  TNotifyEvent OnConnected;

  // timeout in milliseconds: 0 and -1 make one blocking connect, any other
  // value a connect that gives up with "Connect timed out." (kNoTimeLimit:
  // never). Raises "Already connected." on an open connection.
  virtual void Connect(int timeout = -1);

 protected:
  virtual void DoOnConnected();
};
