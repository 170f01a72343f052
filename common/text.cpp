#include "text.h"

#include <algorithm>

namespace text {

namespace {

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 0x20;
}

char LowerOf(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

char UpperOf(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

}  // namespace

std::string TrimLeft(std::string_view s) {
  size_t start = 0;
  while (start < s.size() && IsBlank(s[start])) ++start;
  return std::string(s.substr(start));
}

std::string TrimRight(std::string_view s) {
  size_t end = s.size();
  while (end > 0 && IsBlank(s[end - 1])) --end;
  return std::string(s.substr(0, end));
}

std::string Trim(std::string_view s) {
  return TrimLeft(TrimRight(s));
}

std::string ToLower(std::string_view s) {
  std::string result(s);
  std::transform(result.begin(), result.end(), result.begin(), LowerOf);
  return result;
}

std::string ToUpper(std::string_view s) {
  std::string result(s);
  std::transform(result.begin(), result.end(), result.begin(), UpperOf);
  return result;
}

std::string PercentEncoded(unsigned char byte) {
  static const char kHex[] = "0123456789ABCDEF";
  return {'%', kHex[byte >> 4], kHex[byte & 15]};
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return LowerOf(x) == LowerOf(y);
         });
}

std::string WithVisibleControls(std::string_view s) {
  static const char kHex[] = "0123456789abcdef";
  std::string visible;
  visible.reserve(s.size());
  for (const char c : s) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F) {
      visible += c;
    } else if (c == '\t') {
      visible += "\\t";
    } else if (c == '\r') {
      visible += "\\r";
    } else if (c == '\n') {
      visible += "\\n";
    } else {
      visible += {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
    }
  }
  return visible;
}

std::string CutAtLetter(std::string text, std::size_t bytes) {
  if (text.size() <= bytes) return text;
  std::size_t end = bytes;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
  return text;
}

}  // namespace text
