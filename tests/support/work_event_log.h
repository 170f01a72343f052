#pragma once
// Records a component's work events as lines such as "begin read 100000",
// "work read 1000" and "end read", and lets a test act inside them.

#include <functional>
#include <string>
#include <vector>

#include "net_component.h"

namespace testing_support {

class WorkEventLog {
 public:
  explicit WorkEventLog(TNetComponent& component);

  std::vector<std::string> lines;
  // Run after the event was recorded.
  std::function<void(TWorkMode mode, int64_t count)> afterWork;
  std::function<void(TWorkMode mode)> afterWorkEnd;
};

}  // namespace testing_support
