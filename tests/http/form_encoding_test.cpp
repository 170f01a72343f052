#include <gtest/gtest.h>

#include "form_encoding.h"

namespace {

TEST(FormEncoding, EncodesWhatCouldChangeTheForm) {
  EXPECT_EQ(EncodeFormValue("a b&c"), "a%20b%26c");
  EXPECT_EQ(EncodeFormValue("100%"), "100%25");
  EXPECT_EQ(EncodeFormValue("x=y+z"), "x%3Dy%2Bz");
  EXPECT_EQ(EncodeFormValue("\x80\x81\xFF"), "%80%81%FF");
  EXPECT_EQ(EncodeFormValue("#*<>[]"), "%23%2A%3C%3E%5B%5D");
  EXPECT_EQ(EncodeFormValue("/?:@.-_~!'(),;$"), "/?:@.-_~!'(),;$");
  EXPECT_EQ(EncodeFormValue(std::string("\t\r\n\0", 4)), "%09%0D%0A%00");
}

TEST(FormEncoding, EncodesValuesInPlaceAndNeverNames) {
  std::vector<std::string> fields = {"Login=us er", "Pass word=a&b", "Empty=", "NoValue",
                                     "Login=second one"};
  EncodeFormFields(fields);
  EXPECT_EQ(fields, (std::vector<std::string>{"Login=us%20er", "Pass word=a%26b",
                                              "Empty=", "NoValue", "Login=second%20one"}));
}

TEST(FormEncoding, BodyJoinsLinesWithAmpersands) {
  EXPECT_EQ(FormBody({"Login=u", "Domain=d", "Password=p"}), "Login=u&Domain=d&Password=p");
  EXPECT_EQ(FormBody({"only=one"}), "only=one");
  EXPECT_EQ(FormBody({}), "");
  EXPECT_EQ(FormBody({" a=1", "b=2 "}), "a=1&b=2");
}

}  // namespace
