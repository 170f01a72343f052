#include <gtest/gtest.h>

#include "header_list.h"

namespace {

using Lines = std::vector<std::string>;

TEST(HeaderList, ValuesJoinContinuationLinesAndIgnoreLetterCase) {
  TNetHeaderList list;
  for (const char* line : {"Content-Type: text/html", "X-Long: first", "\tsecond", "  third",
                           "set-cookie: a=1", "Set-Cookie: b=2"}) {
    list.Add(line);
  }
  EXPECT_EQ(list.Values("content-type"), "text/html");
  EXPECT_EQ(list.Values("X-LONG"), "first second third");
  EXPECT_EQ(list.AllValues("Set-cookie"), (Lines{"a=1", "b=2"}));
  EXPECT_EQ(list.Values("Missing"), "");
}

TEST(HeaderList, SettingReplacesInPlaceWithItsContinuationLines) {
  TNetHeaderList list;
  list.Add("A: 1");
  list.Add("B: 2");
  list.Add(" more");
  list.Add("C: 3");
  list.SetValue("b", "new");
  list.SetValue("D", "4");
  EXPECT_EQ(list.Lines(), (Lines{"A: 1", "b: new", "C: 3", "D: 4"}));
  list.SetValue("A", "");
  EXPECT_EQ(list.Lines(), (Lines{"b: new", "C: 3", "D: 4"}));
}

}  // namespace
