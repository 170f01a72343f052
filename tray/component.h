#pragma once
// The little of a component framework the tray needs: a component can ask
// to be told when another one goes away, so it never keeps a dangling
// reference to its menu or image list.

#include <vector>

namespace tray {

enum class TOperation { opInsert, opRemove };

class TComponent {
 public:
  TComponent() = default;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;
  virtual ~TComponent();

  // Both sides are told when the other one is destroyed first.
  void FreeNotification(TComponent* other);
  void RemoveFreeNotification(TComponent* other);

 protected:
  virtual void Notification(TComponent* component, TOperation operation);

 private:
  std::vector<TComponent*> freeNotifies_;
};

}  // namespace tray
