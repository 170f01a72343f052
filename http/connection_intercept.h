#pragma once
// A filter that sees a connection's received and sent blocks and may change them.

class TNetComponent;
class TNetSimpleBuffer;

class TNetConnectionIntercept {
 public:
  virtual ~TNetConnectionIntercept() = default;
  virtual void Connect(TNetComponent* /*connection*/) {}
  virtual void Disconnect() {}
  // Each may rewrite the block and change its size.
  virtual void Receive(TNetSimpleBuffer& /*block*/) {}
  virtual void Send(TNetSimpleBuffer& /*block*/) {}
};
