#include "component.h"

#include <algorithm>

namespace tray {

namespace {

void Forget(std::vector<TComponent*>& list, TComponent* component) {
  list.erase(std::remove(list.begin(), list.end(), component), list.end());
}

}  // namespace

TComponent::~TComponent() {
  while (!freeNotifies_.empty()) {
    TComponent* other = freeNotifies_.back();
    freeNotifies_.pop_back();
    Forget(other->freeNotifies_, this);
    other->Notification(this, TOperation::opRemove);
  }
}

void TComponent::FreeNotification(TComponent* other) {
  if (other == nullptr || other == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), other) != freeNotifies_.end()) return;
  freeNotifies_.push_back(other);
  other->freeNotifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* other) {
  if (other == nullptr) return;
  Forget(freeNotifies_, other);
  Forget(other->freeNotifies_, this);
}

void TComponent::Notification(TComponent*, TOperation) {}

}  // namespace tray
