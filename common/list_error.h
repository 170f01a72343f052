#pragma once
// The error of a list row that does not exist.

#include <stdexcept>
#include <string>

class EListError : public std::runtime_error {
 public:
  // "List index out of bounds (<index>)".
  explicit EListError(int index)
      : std::runtime_error("List index out of bounds (" + std::to_string(index) + ")") {}
};

// The row, or EListError when the list has none at that index.
template <class List>
const auto& ListRow(const List& list, int index) {
  if (index < 0 || static_cast<size_t>(index) >= list.size()) throw EListError(index);
  return list[static_cast<size_t>(index)];
}
