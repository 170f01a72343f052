#include <gtest/gtest.h>

#include "integer_text.h"

namespace {

TEST(IntegerText, AcceptsTheForms) {
  const std::pair<const char*, int32_t> accepted[] = {{"80", 80},
                                                      {" 80", 80},
                                                      {"+80", 80},
                                                      {"-1", -1},
                                                      {"$1F", 31},
                                                      {"0x1F", 31},
                                                      {"x1F", 31},
                                                      {"0X7FFFFFFF", 2147483647},
                                                      {"-2147483648", INT32_MIN},
                                                      {"$FFFFFFFF", -1},
                                                      {"0", 0}};
  for (const auto& [textValue, value] : accepted) {
    EXPECT_EQ(StrToInt(textValue), value) << textValue;
  }
}

TEST(IntegerText, RejectsEverythingElseWithTheMessage) {
  for (const char* rejected : {"0x123456789", "0x000000050", "2147483648", "8 0", "80 ", "\t80", "",
                               "-", "0x", "1e3", "80a"}) {
    try {
      StrToInt(rejected);
      ADD_FAILURE() << rejected;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.what(), "'" + std::string(rejected) + "' is not a valid integer value");
    }
  }
}

TEST(IntegerText, DecimalOnlyForLengths) {
  EXPECT_EQ(ParseDecimal("100000"), 100000);
  EXPECT_EQ(ParseDecimal("-5"), -5);
  EXPECT_EQ(ParseDecimal("$10"), std::nullopt);
  EXPECT_EQ(ParseDecimal("99999999999"), std::nullopt);
  EXPECT_EQ(ParseDecimal(""), std::nullopt);
}

}  // namespace
