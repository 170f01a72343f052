#include "socket_list.h"

#include <poll.h>

#include <cerrno>
#include <chrono>

#include "net_exceptions.h"
#include "net_stack.h"

void TNetSocketList::Add(int handle) {
  if (Count() >= kMaxSockets) throw ENetStackSetSizeExceeded("Set Size Exceeded.");
  handles_.push_back(handle);
}

// poll() rather than select(): select writes past its set for descriptors at
// or above FD_SETSIZE.
int TNetSocketList::WaitForReadable(int timeoutMs) const {
  std::vector<pollfd> fds;
  for (int handle : handles_) fds.push_back(pollfd{handle, POLLIN, 0});
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    int waitMs = -1;
    if (timeoutMs != kNoTimeLimit) {
      auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
      waitMs = left > 0 ? static_cast<int>(left) : 0;
    }
    const int ready = poll(fds.data(), fds.size(), waitMs);
    if (ready >= 0 || errno != EINTR) return ready;
  }
}
