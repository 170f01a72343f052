#include "socket_handle.h"

#include "net_exceptions.h"
#include "net_stack.h"
#include "socket_error_texts.h"

void TNetSocketHandle::AllocateSocket() {
  CloseSocket();
  handle_ = TNetStack::Instance().CreateSocket();
  if (handle_ < 0) {
    handle_ = -1;
    throw ENetInvalidSocket("Cannot allocate socket.");
  }
  allocated_ = true;
}

void TNetSocketHandle::SetBinding(const std::string& ip, int port) {
  ip_ = ip;
  port_ = port;
}

void TNetSocketHandle::SetClientPortRange(int minPort, int maxPort) {
  clientPortMin_ = minPort;
  clientPortMax_ = maxPort;
}

void TNetSocketHandle::Bind() {
  if (port_ != 0 || clientPortMin_ == 0 || clientPortMax_ == 0) {
    BindSinglePort();
  } else {
    BindInPortRange();
  }
  UpdateBindingLocal();
}

void TNetSocketHandle::BindSinglePort() {
  TNetStack& stack = TNetStack::Instance();
  if (stack.CheckForSocketError(stack.Bind(handle_, ip_, port_), {socket_errors::kAddressInUse})) {
    throw ENetCouldNotBindSocket("Could not bind socket. Address and port are already in use.");
  }
}

void TNetSocketHandle::BindInPortRange() {
  if (clientPortMin_ > clientPortMax_) RaiseInvalidPortRange(clientPortMin_, clientPortMax_);
  TNetStack& stack = TNetStack::Instance();
  for (int port = clientPortMax_; port >= clientPortMin_; --port) {
    if (!stack.CheckForSocketError(stack.Bind(handle_, ip_, port),
                                   {socket_errors::kAddressInUse})) {
      return;
    }
  }
  RaiseCanNotBindPortInRange(clientPortMin_, clientPortMax_);
}

void TNetSocketHandle::SetPeer(const std::string& ip, int port) {
  peerIP_ = ip;
  peerPort_ = port;
}

int TNetSocketHandle::StartConnect() {
  return Connected(TNetStack::Instance().StartConnect(handle_, peerIP_, peerPort_));
}

int TNetSocketHandle::FinishConnect(int waitMs) {
  return Connected(TNetStack::Instance().FinishConnect(handle_, waitMs));
}

int TNetSocketHandle::Connected(int connectResult) {
  if (connectResult == 0) {
    UpdateBindingLocal();
    UpdateBindingPeer();
  }
  return connectResult;
}

bool TNetSocketHandle::Readable(int timeoutMs) {
  if (!allocated_) throw ENetConnClosedGracefully("Connection Closed Gracefully.");
  return TNetStack::Instance().Readable(handle_, timeoutMs);
}

bool TNetSocketHandle::Writable(int timeoutMs) {
  return TNetStack::Instance().Writable(handle_, timeoutMs);
}

int TNetSocketHandle::Recv(void* buffer, int length) {
  return TNetStack::Instance().Receive(handle_, buffer, length);
}

int TNetSocketHandle::Send(const void* buffer, int length) {
  return TNetStack::Instance().Send(handle_, buffer, length);
}

void TNetSocketHandle::SetSocketOption(int level, int option, int value) {
  TNetStack& stack = TNetStack::Instance();
  stack.CheckForSocketError(stack.SetSocketOption(handle_, level, option, value));
}

void TNetSocketHandle::CloseSocket() {
  if (!allocated_) return;
  allocated_ = false;
  TNetStack& stack = TNetStack::Instance();
  stack.ShutdownSending(handle_);
  stack.Close(handle_);
  handle_ = -1;
}

void TNetSocketHandle::Reset(bool resetLocal) {
  CloseSocket();
  peerIP_.clear();
  peerPort_ = 0;
  if (resetLocal) {
    ip_.clear();
    port_ = 0;
  }
}

void TNetSocketHandle::UpdateBindingLocal() {
  TNetSocketAddress address;
  TNetStack& stack = TNetStack::Instance();
  stack.CheckForSocketError(stack.LocalAddress(handle_, address));
  ip_ = address.ip;
  port_ = address.port;
}

void TNetSocketHandle::UpdateBindingPeer() {
  TNetSocketAddress address;
  TNetStack& stack = TNetStack::Instance();
  stack.CheckForSocketError(stack.PeerAddress(handle_, address));
  peerIP_ = address.ip;
  peerPort_ = address.port;
}
