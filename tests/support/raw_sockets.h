#pragma once
// Plain sockets for tests that need a port or a peer outside the code under test.

#include <netinet/in.h>

#include <vector>

namespace testing_support {

sockaddr_in LoopbackAddress(int port = 0);

// A loopback port bound, but not listening, while the object lives.
class HeldPort {
 public:
  HeldPort();
  HeldPort(const HeldPort&) = delete;
  HeldPort& operator=(const HeldPort&) = delete;
  ~HeldPort();
  int Port() const { return port_; }
  int Handle() const { return handle_; }

 private:
  int handle_;
  int port_;
};

// A port that nothing is bound to at the moment of the call.
int UnusedPort();

// A loopback listener whose accept queue is full: it drops new connection
// attempts, so they hang until they give up.
class FullListener {
 public:
  FullListener();
  FullListener(const FullListener&) = delete;
  FullListener& operator=(const FullListener&) = delete;
  ~FullListener();
  int Port() const { return port_.Port(); }

 private:
  HeldPort port_;
  std::vector<int> fillers_;
};

}  // namespace testing_support
