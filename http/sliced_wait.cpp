#include "sliced_wait.h"

#include <algorithm>
#include <chrono>

#include "net_stack.h"

bool WaitInSlices(const std::function<bool(int waitMs)>& ready, int timeoutMs,
                  const std::function<void()>& idle) {
  if (!idle) return ready(timeoutMs);
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    int slice = kIdleSliceMs;
    if (timeoutMs != kNoTimeLimit) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
      slice = static_cast<int>(std::clamp<int64_t>(left.count(), 0, kIdleSliceMs));
    }
    if (ready(slice)) return true;
    if (timeoutMs != kNoTimeLimit && Clock::now() >= deadline) return false;
    idle();
  }
}
