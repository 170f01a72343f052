#pragma once
// The transport under a connection, and its plain socket implementation.

#include <functional>
#include <memory>
#include <string>

#include "net_component.h"
#include "socket_handle.h"

// Where and how a client connects.
struct TNetConnectTarget {
  std::string host;
  int port = 0;
  std::string boundIP;
  int boundPort = 0;
  int boundPortMin = 0;
  int boundPortMax = 0;
  // Above 0: the caller's limit ("Connect timed out."); else none of its
  // own. The system's limit applies in any case.
  int timeoutMs = 0;
  // Called between the slices of the wait; none: one wait.
  std::function<void()> idle;
};

class TNetIOHandler : public TNetComponent {
 public:
  virtual void Close() { active_ = false; }
  virtual void ConnectClient(const TNetConnectTarget& target) = 0;
  virtual bool Connected() const = 0;
  virtual void Open() { active_ = true; }
  virtual bool Readable(int timeoutMs) = 0;
  virtual bool Writable(int /*timeoutMs*/) { return true; }
  // Takes what has arrived without waiting (the stack's Receive).
  virtual int Recv(void* buffer, int length) = 0;
  virtual int Send(const void* buffer, int length) = 0;

  bool Active() const { return active_; }

 private:
  bool active_ = false;
};

class TNetIOHandlerSocket : public TNetIOHandler {
 public:
  bool UseNagle = true;

  void Close() override;
  void ConnectClient(const TNetConnectTarget& target) override;
  bool Connected() const override;
  void Open() override;
  bool Readable(int timeoutMs) override;
  bool Writable(int timeoutMs) override;
  // Both raise "Disconnected." when the socket is not open. Send takes what
  // the socket takes without waiting (-1 with 10035 when nothing).
  int Recv(void* buffer, int length) override;
  int Send(const void* buffer, int length) override;

  TNetSocketHandle* Binding() const { return binding_.get(); }

 private:
  void CheckOpen() const;
  void WaitForConnect(const TNetConnectTarget& target);
  // The target's idle hook for a wait of the connect; nullptr without one.
  std::function<void()> IdleHook(const TNetConnectTarget& target);

  std::unique_ptr<TNetSocketHandle> binding_;
};
