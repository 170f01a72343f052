#pragma once
// The one place where the program's Windows-1251 text meets UTF-8 (the
// windows, the terminal, the desktop's notifications).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

std::string Cp1251ToUtf8(std::string_view text);
// Latin letters with marks that Windows-1251 does not have become the
// letters without them ("ö" "o", "ß" "ss"); other characters it lacks
// become "?", broken UTF-8 too.
std::string Utf8ToCp1251(std::string_view text);

// The Windows-1251 byte of a Unicode character, if the code page has it.
std::optional<char> Cp1251FromCodePoint(uint32_t codePoint);
// The Unicode character of a Windows-1251 byte (U+FFFD for the unused 0x98).
uint32_t CodePointOfCp1251(unsigned char byte);
