#pragma once
// A set of at most 64 sockets for the readiness wait.

#include <vector>

class TNetSocketList {
 public:
  static constexpr int kMaxSockets = 64;

  // Raises "Set Size Exceeded." for a 65th socket.
  void Add(int handle);
  void Clear() { handles_.clear(); }
  int Count() const { return static_cast<int>(handles_.size()); }

  // Number of sockets that became readable within timeoutMs (kNoTimeLimit:
  // no limit), 0 when the time ran out, -1 when the wait failed.
  int WaitForReadable(int timeoutMs) const;

 private:
  std::vector<int> handles_;
};
