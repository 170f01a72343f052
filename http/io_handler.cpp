#include "io_handler.h"

#include <netinet/in.h>
#include <netinet/tcp.h>

#include "ipv4_address.h"
#include "net_exceptions.h"
#include "net_stack.h"

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
  binding_->SetPeer(stack.ResolveHost(target.host), target.port);
  binding_->SetSocketOption(IPPROTO_TCP, TCP_NODELAY, UseNagle ? 0 : 1);
  ReportStatus(TNetStatus::hsConnecting, binding_->PeerIP());
  if (target.timeoutMs != 0 && target.timeoutMs != -1) {
    ConnectWithin(target.timeoutMs);
  } else {
    stack.CheckForSocketError(binding_->Connect());
  }
}

void TNetIOHandlerSocket::ConnectWithin(int timeoutMs) {
  bool timedOut = false;
  const int result = binding_->ConnectWithin(timeoutMs, timedOut);
  if (timedOut) {
    Close();
    throw ENetConnectTimeout("Connect timed out.");
  }
  TNetStack::Instance().CheckForSocketError(result);
}
