#pragma once
// Numeric IPv4 address texts: "a.b.c.d", "a.b.c" (c fills two bytes),
// "a.b" (b fills three bytes) and a single 32-bit number, all decimal.

#include <cstdint>
#include <optional>
#include <string>

// The address in host byte order, or nothing when the text is no numeric address.
std::optional<uint32_t> ParseNumericIPv4(const std::string& text);

// Four decimal numbers joined by ".".
std::string FormatIPv4(uint32_t address);

// ParseNumericIPv4 that raises "%s is not a valid IP address.".
uint32_t IPv4ToBytes(const std::string& text);
