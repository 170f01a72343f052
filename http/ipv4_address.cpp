#include "ipv4_address.h"

#include <vector>

#include "net_exceptions.h"

namespace {

// A part is 1 to 10 decimal digits; longer ones cannot fit 32 bits anyway.
std::optional<uint64_t> ParsePart(const std::string& part) {
  if (part.empty() || part.size() > 10) return std::nullopt;
  uint64_t value = 0;
  for (char c : part) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  return value;
}

std::vector<std::string> SplitAtDots(const std::string& text) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == '.') {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

}  // namespace

std::optional<uint32_t> ParseNumericIPv4(const std::string& text) {
  std::vector<std::string> texts = SplitAtDots(text);
  if (texts.size() > 4) return std::nullopt;
  std::vector<uint64_t> parts;
  for (const std::string& t : texts) {
    std::optional<uint64_t> value = ParsePart(t);
    if (!value) return std::nullopt;
    parts.push_back(*value);
  }
  // Every part but the last is one byte; the last fills the remaining bytes.
  uint64_t address = 0;
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    if (parts[i] > 255) return std::nullopt;
    address |= parts[i] << (8 * (3 - i));
  }
  const int lastBytes = 4 - static_cast<int>(parts.size() - 1);
  const uint64_t lastLimit = (uint64_t{1} << (8 * lastBytes)) - 1;
  if (parts.back() > lastLimit) return std::nullopt;
  return static_cast<uint32_t>(address | parts.back());
}

std::string FormatIPv4(uint32_t address) {
  return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 255) + "." +
         std::to_string((address >> 8) & 255) + "." + std::to_string(address & 255);
}

uint32_t IPv4ToBytes(const std::string& text) {
  std::optional<uint32_t> address = ParseNumericIPv4(text);
  if (!address) RaiseInvalidIPAddress(text);
  return *address;
}
