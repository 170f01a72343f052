#include "cp1251.h"

namespace {

// Bytes 0x80 to 0xFF; 0 marks 0x98, which the code page leaves unused.
constexpr uint16_t kUpperHalf[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F};

void AppendUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Decodes one UTF-8 character at text[i], advancing i; nothing when broken.
std::optional<uint32_t> NextCodePoint(std::string_view text, size_t& i) {
  const unsigned char lead = static_cast<unsigned char>(text[i++]);
  if (lead < 0x80) return lead;
  const int length = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
  if (length < 0 || lead >= 0xF8) return std::nullopt;
  uint32_t c = lead & (0x3F >> length);
  for (int k = 0; k < length; ++k) {
    if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      return std::nullopt;
    }
    c = (c << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
  }
  return c;
}

// Latin letters with marks, U+00C0 to U+017F, as the letters without them;
// "?" where none stands near ("\xD7", "\xF7"); "*" for two letters.
constexpr char kLatinBases[] =
    "AAAAAA*CEEEEIIIIDNOOOOO?OUUUUYT*aaaaaa*ceeeeiiiidnooooo?ouuuuyty"
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIi**JjKkkLlLlLlLl"
    "LlNnNnNnnNnOoOoOo**RrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs";

// What Windows puts for a letter its code page lacks (its "best fit"):
// "Björk" is searched as "Bjork", not as "Bj?rk".
std::string NearestCp1251(uint32_t c) {
  if (const std::optional<char> exact = Cp1251FromCodePoint(c)) return std::string(1, *exact);
  if (c < 0xC0 || c > 0x17F) return "?";
  const char base = kLatinBases[c - 0xC0];
  if (base != '*') return std::string(1, base);
  switch (c) {
    case 0xC6:
      return "AE";
    case 0xE6:
      return "ae";
    case 0xDF:
      return "ss";
    case 0x132:
      return "IJ";
    case 0x133:
      return "ij";
    case 0x152:
      return "OE";
    default:
      return "oe";
  }
}

}  // namespace

uint32_t CodePointOfCp1251(unsigned char byte) {
  if (byte < 0x80) return byte;
  const uint16_t c = kUpperHalf[byte - 0x80];
  return c == 0 ? 0xFFFD : c;
}

std::optional<char> Cp1251FromCodePoint(uint32_t codePoint) {
  if (codePoint < 0x80) return static_cast<char>(codePoint);
  for (int i = 0; i < 128; ++i) {
    if (kUpperHalf[i] == codePoint && codePoint != 0) return static_cast<char>(0x80 + i);
  }
  return std::nullopt;
}

std::string Cp1251ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char c : text) AppendUtf8(out, CodePointOfCp1251(static_cast<unsigned char>(c)));
  return out;
}

std::string Utf8ToCp1251(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const std::optional<uint32_t> c = NextCodePoint(text, i);
    out += c ? NearestCp1251(*c) : "?";
  }
  return out;
}
