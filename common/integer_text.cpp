#include "integer_text.h"

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

[[noreturn]] void RaiseNotAnInteger(const std::string& text) {
  throw EConvertError("'" + text + "' is not a valid integer value");
}

}  // namespace

std::optional<int32_t> ParseInteger(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  bool hex = false;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i == text.size() || (hex && text.size() - i > 8)) return std::nullopt;
  const uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
  uint64_t value = 0;
  for (; i < text.size(); ++i) {
    const int digit =
        hex ? HexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
    if (digit < 0) return std::nullopt;
    value = value * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
    if (value > limit) return std::nullopt;
  }
  const uint32_t bits = static_cast<uint32_t>(value);
  return static_cast<int32_t>(negative ? 0u - bits : bits);
}

int32_t StrToInt(const std::string& text) {
  const std::optional<int32_t> value = ParseInteger(text);
  if (!value) RaiseNotAnInteger(text);
  return *value;
}

int32_t DecimalStrToInt(const std::string& text) {
  if (text.find_first_of("$xX") != std::string::npos) RaiseNotAnInteger(text);
  return StrToInt(text);
}

std::optional<int32_t> ParseDecimal(const std::string& text) {
  size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) i = 1;
  if (i == text.size()) return std::nullopt;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
    if (value > 0x80000000LL) return std::nullopt;
  }
  value = negative ? -value : value;
  if (value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

namespace {

std::optional<int64_t> ParseDigits(std::string_view text, int base) {
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (const char c : text) {
    const int digit = base == 16 ? HexDigit(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
    if (digit < 0) return std::nullopt;
    value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    if (value > static_cast<uint64_t>(INT64_MAX)) return std::nullopt;
  }
  return static_cast<int64_t>(value);
}

}  // namespace

std::optional<int64_t> ParseByteCount(std::string_view text) {
  return ParseDigits(text, 10);
}

std::optional<int64_t> ParseHexByteCount(std::string_view text) {
  return ParseDigits(text, 16);
}
