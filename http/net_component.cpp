#include "net_component.h"

#include "net_stack.h"

TNetComponent::TNetComponent() {
  TNetStack::AddComponent();
}

TNetComponent::~TNetComponent() {
  TNetStack::RemoveComponent();
}

void TNetComponent::StartWork(TWorkMode mode, int64_t maximum) {
  WorkRecord& work = work_[Index(mode)];
  if (++work.level != 1) return;
  work.maximum = maximum;
  work.count = 0;
  if (OnWorkBegin) OnWorkBegin(this, mode, maximum);
}

void TNetComponent::AdvanceWork(TWorkMode mode, int32_t n) {
  WorkRecord& work = work_[Index(mode)];
  if (work.level <= 0) return;
  work.count += n;
  if (OnWork) OnWork(this, mode, work.count);
}

void TNetComponent::FinishWork(TWorkMode mode) {
  WorkRecord& work = work_[Index(mode)];
  if (work.level == 1 && OnWorkEnd) OnWorkEnd(this, mode);
  --work.level;
}

namespace {

std::string StatusText(TNetStatus status, const std::string& argument) {
  switch (status) {
    case TNetStatus::hsResolving:
      return "Resolving hostname " + argument + ".";
    case TNetStatus::hsConnecting:
      return "Connecting to " + argument + ".";
    case TNetStatus::hsConnected:
      return "Connected.";
    case TNetStatus::hsDisconnecting:
      return "Disconnecting.";
    case TNetStatus::hsDisconnected:
      return "Disconnected.";
    default:
      return argument;
  }
}

}  // namespace

void TNetComponent::ReportStatus(TNetStatus status, const std::string& argument) {
  if (OnStatus) OnStatus(this, status, StatusText(status, argument));
}
