#pragma once
// Integer texts as the program reads them.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

// A text that should have been a number; the message is
// "'<text>' is not a valid integer value".
class EConvertError : public std::runtime_error {
 public:
  explicit EConvertError(const std::string& message) : std::runtime_error(message) {}
};

// The integer rules of ports and settings: leading spaces, an optional sign,
// decimal digits or at most eight hexadecimal digits after "$", "x", "X",
// "0x" or "0X", nothing after; the value must fit 32 bits (hexadecimal may
// use all 32).
std::optional<int32_t> ParseInteger(const std::string& text);
// ParseInteger that raises EConvertError.
int32_t StrToInt(const std::string& text);
// StrToInt without the hexadecimal forms.
int32_t DecimalStrToInt(const std::string& text);

// A plain decimal number with an optional sign, within 32 bits.
std::optional<int32_t> ParseDecimal(const std::string& text);

// A plain non-negative decimal number (digits only) within 63 bits: the
// form of a byte count on the wire.
std::optional<int64_t> ParseByteCount(std::string_view text);
// Hexadecimal digits within 63 bits: a chunk size.
std::optional<int64_t> ParseHexByteCount(std::string_view text);
