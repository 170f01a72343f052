#pragma once
// A name lookup that never answers while it lives: every lookup waits until
// the object goes, then fails with 11001. It stands in for the system's.

#include <condition_variable>
#include <memory>
#include <mutex>

#include "net_stack.h"

namespace testing_support {

class SilentResolver {
 public:
  static constexpr const char* kHost = "never.answers.test";

  SilentResolver() {
    TNetStack::SetNameLookup([gate = gate_](const std::string&, std::string&) {
      std::unique_lock<std::mutex> lock(gate->mutex);
      gate->opened.wait(lock, [&] { return gate->open; });
      return 11001;
    });
  }
  SilentResolver(const SilentResolver&) = delete;
  SilentResolver& operator=(const SilentResolver&) = delete;
  ~SilentResolver() {
    TNetStack::SetNameLookup(nullptr);
    std::lock_guard<std::mutex> lock(gate_->mutex);
    gate_->open = true;
    gate_->opened.notify_all();
  }

 private:
  struct Gate {
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
  };
  std::shared_ptr<Gate> gate_ = std::make_shared<Gate>();
};

}  // namespace testing_support
