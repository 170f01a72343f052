#include "tcp_client.h"

#include <memory>

#include "connection_intercept.h"
#include "net_exceptions.h"

void TNetTCPClient::Connect(int timeout) {
  if (IOHandler() && IOHandler()->Connected()) throw ENetAlreadyConnected("Already connected.");
  if (!IOHandler()) {
    auto handler = std::make_unique<TNetIOHandlerSocket>();
    handler->OnStatus = OnStatus;
    AttachImplicitIOHandler(std::move(handler));
  }
  try {
    IOHandler()->Open();
    ResetConnection();
    std::function<void()> idle;
    if (OnIdle) idle = [this] { OnIdle(this); };
    IOHandler()->ConnectClient(
        {Host(), Port(), BoundIP, BoundPort, BoundPortMin, BoundPortMax, timeout, idle});
    if (Intercept) Intercept->Connect(this);
    ReportStatus(TNetStatus::hsConnected, Host());
    DoOnConnected();
  } catch (...) {
    // The transport stays attached with its socket closed; the next Connect starts over.
    DropSocket();
    throw;
  }
}

void TNetTCPClient::DoOnConnected() {
  if (OnConnected) OnConnected(this);
}
