#pragma once
// One socket with its local and peer address and port.

#include <string>

class TNetSocketHandle {
 public:
  TNetSocketHandle() = default;
  TNetSocketHandle(const TNetSocketHandle&) = delete;
  TNetSocketHandle& operator=(const TNetSocketHandle&) = delete;
  ~TNetSocketHandle() { CloseSocket(); }

  // Closes a socket still held, then creates an IPv4 stream socket;
  // raises "Cannot allocate socket." when that fails.
  void AllocateSocket();

  // Binds to the local address and port, or to a port of the client port
  // range, and reads the bound address back.
  void Bind();
  void SetBinding(const std::string& ip, int port);
  void SetClientPortRange(int minPort, int maxPort);

  void SetPeer(const std::string& ip, int port);
  // Connects to the peer without waiting, then waits up to waitMs at a
  // time: 0 once connected (the local and peer address read back),
  // kConnectPending while the connect goes on, -1 on failure.
  int StartConnect();
  int FinishConnect(int waitMs);

  bool Readable(int timeoutMs);
  bool Writable(int timeoutMs);
  int Recv(void* buffer, int length);
  int Send(const void* buffer, int length);
  void SetSocketOption(int level, int option, int value);

  // Shuts the socket down for sending and closes it; results not checked.
  void CloseSocket();
  void Reset(bool resetLocal = true);

  bool HandleAllocated() const { return allocated_; }
  int Handle() const { return handle_; }
  const std::string& IP() const { return ip_; }
  int Port() const { return port_; }
  const std::string& PeerIP() const { return peerIP_; }
  int PeerPort() const { return peerPort_; }

 private:
  // Reads the addresses back after a connect that succeeded; returns its result.
  int Connected(int connectResult);
  void BindSinglePort();
  void BindInPortRange();
  void UpdateBindingLocal();
  void UpdateBindingPeer();

  bool allocated_ = false;
  int handle_ = -1;
  std::string ip_;
  int port_ = 0;
  std::string peerIP_;
  int peerPort_ = 0;
  int clientPortMin_ = 0;
  int clientPortMax_ = 0;
};
