#pragma once
// The process's one socket stack: the socket calls, host resolution, the
// readiness wait and the turning of failed calls into ENetSocketError. It is
// created with the first live TNetComponent and freed with the last one.

#include <cstdint>
#include <initializer_list>
#include <string>

class TNetComponent;

constexpr int kNoTimeLimit = -2;  // a wait without a time limit

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
  int Connect(int handle, const std::string& ip, int port);
  // A connect that gives up after timeoutMs (kNoTimeLimit: never); sets
  // timedOut and returns -1 when the time ran out.
  int ConnectWithin(int handle, const std::string& ip, int port, int timeoutMs, bool& timedOut);
  int Receive(int handle, void* buffer, int length);
  int Send(int handle, const void* buffer, int length);
  int SetSocketOption(int handle, int level, int option, int value);
  int LocalAddress(int handle, TNetSocketAddress& address);
  int PeerAddress(int handle, TNetSocketAddress& address);
  void ShutdownSending(int handle);
  void Close(int handle);

  // True when data (or a close) can be read from the socket within
  // timeoutMs; kNoTimeLimit waits without limit. A failed wait is no data.
  bool Readable(int handle, int timeoutMs);

  // "LOCALHOST" in any case, a numeric address, or the first IPv4 address
  // the resolver knows; never cached.
  std::string ResolveHost(const std::string& host);

  // Check of a socket call result: false for success, true for a failure
  // with a tolerated code; any other failure raises ENetSocketError.
  bool CheckForSocketError(int result, std::initializer_list<int> tolerated = {});
  [[noreturn]] void RaiseSocketError(int code);

  // Code of the last failed socket call.
  int LastError() const { return lastError_; }

 private:
  friend class TNetComponent;
  static void AddComponent();
  static void RemoveComponent();

  int Failed();  // records errno as the pending code; returns -1

  int lastError_ = 0;
  int pendingError_ = 0;
};
