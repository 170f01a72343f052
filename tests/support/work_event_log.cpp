#include "work_event_log.h"

namespace testing_support {

namespace {

std::string ModeName(TWorkMode mode) {
  return mode == TWorkMode::wmRead ? "read" : "write";
}

}  // namespace

WorkEventLog::WorkEventLog(TNetComponent& component) {
  component.OnWorkBegin = [this](TNetComponent*, TWorkMode mode, int64_t maximum) {
    lines.push_back("begin " + ModeName(mode) + " " + std::to_string(maximum));
  };
  component.OnWork = [this](TNetComponent*, TWorkMode mode, int64_t count) {
    lines.push_back("work " + ModeName(mode) + " " + std::to_string(count));
    if (afterWork) afterWork(mode, count);
  };
  component.OnWorkEnd = [this](TNetComponent*, TWorkMode mode) {
    lines.push_back("end " + ModeName(mode));
    if (afterWorkEnd) afterWorkEnd(mode);
  };
}

}  // namespace testing_support
