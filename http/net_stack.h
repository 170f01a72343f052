#pragma once
// The process's one socket stack: the socket calls, host resolution, the
// readiness wait and the turning of failed calls into ENetSocketError. It is
// created with the first live TNetComponent and freed with the last one.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

class TNetComponent;

constexpr int kNoTimeLimit = -2;  // a wait without a time limit
// StartConnect and FinishConnect: the connect is still going on.
constexpr int kConnectPending = 1;

// Looks a host name up: 0 with its first IPv4 address in dotted form, or
// a socket error code.
using TNameLookup = std::function<int(const std::string& host, std::string& ip)>;

struct TNetSocketAddress {
  std::string ip;
  int port = 0;
};

class TNetStack {
 public:
  // The live stack; valid while any TNetComponent lives.
  static TNetStack& Instance();
  static bool Exists();

  // Socket calls. Each returns the platform result; a failure (-1) records
  // its code for CheckForSocketError.
  int CreateSocket();
  int Bind(int handle, const std::string& ip, int port);
  // A connect that does not wait: 0 when it completed at once,
  // kConnectPending while it goes on, -1 on failure.
  int StartConnect(int handle, const std::string& ip, int port);
  // Waits up to waitMs for a started connect: kConnectPending while it
  // still goes on, else 0 or -1; the socket blocks again once it has ended.
  int FinishConnect(int handle, int waitMs);
  // Takes what has arrived without waiting; -1 with code 10035 when
  // nothing has.
  int Receive(int handle, void* buffer, int length);
  // Sends what the socket takes without waiting; -1 with code 10035 when
  // it takes nothing now.
  int Send(int handle, const void* buffer, int length);
  int SetSocketOption(int handle, int level, int option, int value);
  int LocalAddress(int handle, TNetSocketAddress& address);
  int PeerAddress(int handle, TNetSocketAddress& address);
  void ShutdownSending(int handle);
  void Close(int handle);

  // True when data (or a close) can be read from the socket within
  // timeoutMs; kNoTimeLimit waits without limit. A failed wait is no data.
  bool Readable(int handle, int timeoutMs);
  // True when the socket takes bytes again within timeoutMs.
  bool Writable(int handle, int timeoutMs);

  // "LOCALHOST" in any case, a numeric address, or the first IPv4 address
  // the resolver knows; never cached. A name is looked up on a thread of
  // its own, since a resolver may keep it waiting for long: the wait runs
  // through WaitInSlices with idle, which may raise to end it (the lookup
  // then finishes unseen).
  std::string ResolveHost(const std::string& host, const std::function<void()>& idle = nullptr);
  // Replaces the system's lookup for the whole process; nullptr restores it.
  static void SetNameLookup(TNameLookup lookup);

  // Check of a socket call result: false for success, true for a failure
  // with a tolerated code; any other failure raises ENetSocketError.
  bool CheckForSocketError(int result, std::initializer_list<int> tolerated = {});
  [[noreturn]] void RaiseSocketError(int code);

  // Code of the last failed socket call.
  int LastError() const { return lastError_; }
  // Whether the last failed call would have had to wait.
  bool WouldBlock() const;

  // How long the system tries a connect before it gives up with 10060: 21
  // seconds, as Windows does (Linux alone would try for over two minutes).
  int SystemConnectTimeoutMs = 21000;

 private:
  friend class TNetComponent;
  static void AddComponent();
  static void RemoveComponent();

  int Failed();  // records errno as the pending code; returns -1

  int lastError_ = 0;
  int pendingError_ = 0;
};
