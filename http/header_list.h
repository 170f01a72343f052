#pragma once
// Header lines "name: value". A line that begins with a space or a tab
// continues the line above it. Names match without regard to letter case.

#include <string>
#include <vector>

class TNetHeaderList {
 public:
  void Clear() { lines_.clear(); }
  // Appends a line exactly as it stands.
  void Add(const std::string& line) { lines_.push_back(line); }
  const std::vector<std::string>& Lines() const { return lines_; }

  // The value of the first line of that name with its continuation lines
  // joined by one space, trimmed; empty when no line has the name.
  std::string Values(const std::string& name) const;
  // The values of every line of that name, in order.
  std::vector<std::string> AllValues(const std::string& name) const;

  // Replaces the first line of that name (with its continuation lines) in
  // place, or appends one; the line is never folded, since current servers
  // reject continuation lines. An empty value removes the line.
  void SetValue(const std::string& name, const std::string& value);

  static std::string NameOf(const std::string& line);

 private:
  size_t IndexOf(const std::string& name) const;
  size_t ContinuationEnd(size_t index) const;
  std::string ValueAt(size_t index) const;

  std::vector<std::string> lines_;
};
