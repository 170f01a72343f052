#pragma once
// Hands out identities that are distinct among the live objects and finds
// an object by its identity; an identity that has gone finds nothing.

#include <cstddef>
#include <map>

namespace tray {

template <typename Identity, typename Object>
class TIdentityRegistry {
 public:
  Identity Add(Object& object) {
    do ++last_;
    while (last_ == 0 || objects_.contains(last_));
    objects_[last_] = &object;
    return last_;
  }
  void Remove(Identity identity) { objects_.erase(identity); }
  Object* Find(Identity identity) const {
    auto found = objects_.find(identity);
    return found == objects_.end() ? nullptr : found->second;
  }
  int Count() const { return static_cast<int>(objects_.size()); }

 private:
  std::map<Identity, Object*> objects_;
  Identity last_ = 0;
};

}  // namespace tray
