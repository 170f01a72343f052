#pragma once
// Byte-string helpers shared by the plain C++ libraries. Letter case is
// ASCII letter case; bytes above 0x7F are compared as they are.

#include <string>
#include <string_view>

namespace text {

// Blanks are the bytes up to and including the space (0x20).
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

std::string ToLower(std::string_view s);
std::string ToUpper(std::string_view s);
// "%" and two uppercase hexadecimal digits.
std::string PercentEncoded(unsigned char byte);

bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// Control characters (C0 and DEL) written as visible escapes: \t, \r, \n,
// else \x and two lowercase hexadecimal digits (ESC is \x1b). Safe to write
// to a terminal, and always one line.
std::string WithVisibleControls(std::string_view s);

// The longest start of the UTF-8 text within `bytes` bytes, never half a
// letter.
std::string CutAtLetter(std::string text, std::size_t bytes);

}  // namespace text
