#include "cp1251.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp1251, EveryByteGoesToUtf8AndBack) {
  for (int byte = 0; byte < 256; ++byte) {
    if (byte == 0x98) continue;  // unused in the code page
    const std::string one(1, static_cast<char>(byte));
    EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(one)), one) << byte;
  }
}

TEST(Cp1251, CyrillicAndTypography) {
  EXPECT_EQ(Cp1251ToUtf8("\xCD\xE0\xE9\xE4\xE5\xED\xEE: \xB9 \x96"), "Найдено: № –");
  EXPECT_EQ(Utf8ToCp1251("Ёлка — ёж"), "\xA8\xEB\xEA\xE0 \x97 \xB8\xE6");
  EXPECT_EQ(Cp1251ToUtf8("\x98"), "\xEF\xBF\xBD");
}

// As Windows fits them: a Western name typed with its marks still finds
// the titles the portal lists without them.
TEST(Cp1251, LatinLettersWithMarksLoseThemAndTheRestBecomesAQuestionMark) {
  EXPECT_EQ(Utf8ToCp1251("Björk, Beyoncé, Mötley Crüe, Łódź"), "Bjork, Beyonce, Motley Crue, Lodz");
  EXPECT_EQ(Utf8ToCp1251("Straße Æon œuvre ÿ ſ"), "Strasse AEon oeuvre y s");
  EXPECT_EQ(Utf8ToCp1251("× ÷ ƀ"), "? ? ?");
  EXPECT_EQ(Utf8ToCp1251("日本 ok"), "?? ok");
  EXPECT_EQ(Utf8ToCp1251("\xC3"), "?") << "broken UTF-8";
  EXPECT_EQ(Cp1251FromCodePoint(0x433), '\xE3');
  EXPECT_EQ(Cp1251FromCodePoint(0x5D0), std::nullopt);
}

}  // namespace
