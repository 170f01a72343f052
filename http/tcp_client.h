#pragma once
// A TCP connection that connects to a host and port.

#include <cstdint>
#include <string>

#include "tcp_connection.h"

class TNetTCPClient : public TNetTCPConnection {
 public:
  const std::string& Host() const { return host_; }
  virtual void SetHost(const std::string& host) { host_ = host; }
  int32_t Port() const { return port_; }
  virtual void SetPort(int32_t port) { port_ = port; }
  std::string BoundIP;    // empty: any local address
  int32_t BoundPort = 0;  // 0: chosen by the system
  int32_t BoundPortMin = 0;
  int32_t BoundPortMax = 0;
  TNotifyEvent OnConnected;

  // timeout in milliseconds: above 0, a connect that gives up with "Connect
  // timed out."; else no limit of the caller's. The system gives up after
  // TNetStack::SystemConnectTimeoutMs with 10060 in any case. Raises
  // "Already connected." on an open connection.
  virtual void Connect(int timeout = -1);

 protected:
  virtual void DoOnConnected();

 private:
  std::string host_;
  int32_t port_ = 0;
};
