#include "io_handler.h"

#include <netinet/in.h>
#include <netinet/tcp.h>

#include "ipv4_address.h"
#include "net_exceptions.h"
#include "net_stack.h"
#include "sliced_wait.h"
#include "socket_error_texts.h"

void TNetIOHandlerSocket::Open() {
  TNetIOHandler::Open();
  if (binding_) {
    binding_->Reset();
  } else {
    binding_ = std::make_unique<TNetSocketHandle>();
  }
}

void TNetIOHandlerSocket::Close() {
  if (binding_) binding_->CloseSocket();
  TNetIOHandler::Close();
}

bool TNetIOHandlerSocket::Connected() const {
  return binding_ && binding_->HandleAllocated();
}

void TNetIOHandlerSocket::CheckOpen() const {
  if (!Connected()) throw ENetClosedSocket("Disconnected.");
}

bool TNetIOHandlerSocket::Readable(int timeoutMs) {
  if (!binding_) throw ENetConnClosedGracefully("Connection Closed Gracefully.");
  return binding_->Readable(timeoutMs);
}

bool TNetIOHandlerSocket::Writable(int timeoutMs) {
  CheckOpen();
  return binding_->Writable(timeoutMs);
}

int TNetIOHandlerSocket::Recv(void* buffer, int length) {
  CheckOpen();
  return binding_->Recv(buffer, length);
}

int TNetIOHandlerSocket::Send(const void* buffer, int length) {
  CheckOpen();
  return binding_->Send(buffer, length);
}

void TNetIOHandlerSocket::ConnectClient(const TNetConnectTarget& target) {
  TNetStack& stack = TNetStack::Instance();
  binding_->AllocateSocket();
  binding_->SetBinding(target.boundIP, target.boundPort);
  binding_->SetClientPortRange(target.boundPortMin, target.boundPortMax);
  binding_->Bind();
  if (!ParseNumericIPv4(target.host)) ReportStatus(TNetStatus::hsResolving, target.host);
  binding_->SetPeer(stack.ResolveHost(target.host, IdleHook(target)), target.port);
  binding_->SetSocketOption(IPPROTO_TCP, TCP_NODELAY, UseNagle ? 0 : 1);
  ReportStatus(TNetStatus::hsConnecting, binding_->PeerIP());
  WaitForConnect(target);
}

std::function<void()> TNetIOHandlerSocket::IdleHook(const TNetConnectTarget& target) {
  if (!target.idle) return nullptr;
  return [this, &target] {
    target.idle();
    // A Disconnect from the hook closed the socket under the wait.
    if (!binding_->HandleAllocated()) throw ENetNotConnected("Not Connected");
  };
}

// The connect never blocks: it is waited for, in slices when there is an
// idle hook, until the caller's limit or the system's runs out.
void TNetIOHandlerSocket::WaitForConnect(const TNetConnectTarget& target) {
  TNetStack& stack = TNetStack::Instance();
  int result = binding_->StartConnect();
  if (result == kConnectPending) {
    const bool callerLimit =
        target.timeoutMs > 0 && target.timeoutMs < stack.SystemConnectTimeoutMs;
    const int limit = callerLimit ? target.timeoutMs : stack.SystemConnectTimeoutMs;
    const std::function<void()> idle = IdleHook(target);
    const auto connected = [&](int waitMs) {
      result = binding_->FinishConnect(waitMs);
      return result != kConnectPending;
    };
    if (!WaitInSlices(connected, limit, idle)) {
      Close();
      if (callerLimit) throw ENetConnectTimeout("Connect timed out.");
      stack.RaiseSocketError(socket_errors::kTimedOut);
    }
  }
  stack.CheckForSocketError(result);
}
