#include "header_list.h"

#include <cstddef>

#include "text.h"

namespace {

bool IsContinuation(const std::string& line) {
  return !line.empty() && (line[0] == ' ' || line[0] == '\t');
}

}  // namespace

std::string TNetHeaderList::NameOf(const std::string& line) {
  return line.substr(0, line.find(':'));
}

size_t TNetHeaderList::IndexOf(const std::string& name) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (!IsContinuation(lines_[i]) && text::EqualsIgnoringCase(NameOf(lines_[i]), name)) return i;
  }
  return lines_.size();
}

size_t TNetHeaderList::ContinuationEnd(size_t index) const {
  size_t end = index + 1;
  while (end < lines_.size() && IsContinuation(lines_[end])) ++end;
  return end;
}

std::string TNetHeaderList::ValueAt(size_t index) const {
  const std::string& line = lines_[index];
  const size_t colon = line.find(':');
  std::string value = colon == std::string::npos ? "" : text::Trim(line.substr(colon + 1));
  for (size_t i = index + 1; i < ContinuationEnd(index); ++i) value += " " + text::Trim(lines_[i]);
  return text::Trim(value);
}

std::string TNetHeaderList::Values(const std::string& name) const {
  const size_t index = IndexOf(name);
  return index == lines_.size() ? "" : ValueAt(index);
}

std::vector<std::string> TNetHeaderList::AllValues(const std::string& name) const {
  std::vector<std::string> values;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (!IsContinuation(lines_[i]) && text::EqualsIgnoringCase(NameOf(lines_[i]), name)) {
      values.push_back(ValueAt(i));
    }
  }
  return values;
}

void TNetHeaderList::SetValue(const std::string& name, const std::string& value) {
  const size_t index = IndexOf(name);
  const bool found = index < lines_.size();
  const auto first = lines_.begin() + static_cast<std::ptrdiff_t>(index);
  const auto last =
      found ? lines_.begin() + static_cast<std::ptrdiff_t>(ContinuationEnd(index)) : first;
  const size_t at = static_cast<size_t>(lines_.erase(first, last) - lines_.begin());
  if (value.empty()) return;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), name + ": " + value);
}
