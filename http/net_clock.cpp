#include "net_clock.h"

#include <chrono>
#include <ctime>

namespace {

class SystemNetClock : public TNetClock {
 public:
  int64_t NowUTCMilliseconds() const override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
  }
  int32_t UTCOffsetSeconds() const override {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return static_cast<int32_t>(local.tm_gmtoff);
  }
};

}  // namespace

const TNetClock& TNetClock::System() {
  static const SystemNetClock clock;
  return clock;
}
