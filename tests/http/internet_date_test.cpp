#include "internet_date.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Local time here is UTC + 3 h, whatever the machine's zone.
const TFixedNetClock kClock(1796644800500, 3 * 3600);

int64_t UTC(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  return DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
}

const int64_t kRfcExample = UTC(1994, 11, 6, 8, 49, 37);
constexpr int64_t kUnreadable = INT64_MIN;

struct DateCase {
  const char* text;
  int64_t utc;  // kUnreadable: the date cannot be read
};

const DateCase kDates[] = {
    {"Sun, 06 Nov 1994 08:49:37 GMT", kRfcExample},
    {"Sunday, 06-Nov-94 08:49:37 GMT", kRfcExample},
    {"Sun Nov  6 08:49:37 1994", kRfcExample},
    {"Sun Nov 6 08:49:37 1994", kRfcExample},
    {"06 Nov 1994 08:49:37 GMT", kRfcExample},
    {"06-Nov-1994 08:49:37 GMT", kRfcExample},
    {"Sun, 06-Nov-1994 08:49:37 GMT", kRfcExample},
    {"Sun,06 Nov 1994 08:49:37 GMT", kRfcExample},
    {"Sun,06-Nov-1994 08:49:37 GMT", kRfcExample},
    {"sun, 06 nov 1994 08:49:37 gmt", kRfcExample},
    {"SUN, 06 NOV 1994 08:49:37 GMT", kRfcExample},
    {"  Sun, 06 Nov 1994 08:49:37 GMT  ", kRfcExample},
    {"Sun, 06  Nov  1994  08:49:37  GMT", kRfcExample},
    {"Nov 06 1994 08:49:37 GMT", kRfcExample},
    {"Sun, 06 Nov 1994 08:49:37", kRfcExample},
    {"Sun, 06 Nov 1994 08:49:37 EST", kRfcExample},
    {"Sun, 06 Nov 1994 08:49:37 +0000", kRfcExample},
    {"Sun, 06 Nov 1994 08:49:37 +0300", UTC(1994, 11, 6, 5, 49, 37)},
    {"Sun, 06 Nov 1994 08:49:37 -0500", UTC(1994, 11, 6, 13, 49, 37)},
    {"Sun, 06 Nov 1994 08:49:37 +0130", UTC(1994, 11, 6, 7, 19, 37)},
    {"Sun, 06 Nov 1994 08:49:37 +03", kRfcExample},
    {"Sun, 06 Nov 1994 08:49:37 +ab00", kRfcExample},
    {"Sun, 06 Nov 1994", UTC(1994, 11, 6)},
    {"Sun, 06 Nov 1994 8:9:7 GMT", UTC(1994, 11, 6, 8, 9, 7)},
    {"Sun, 06 Nov 1994 08:49 GMT", UTC(1994, 11, 6, 8, 49)},
    {"Thu, 01-Jan-1970 00:00:01 GMT", 1},
    {"Thu Jan  1 00:00:00 1970", 0},
    {"Wed, 09 Jun 2021 10:18:14 GMT", UTC(2021, 6, 9, 10, 18, 14)},
    {"Wed, 09 Jun 21 10:18:14 GMT", UTC(2021, 6, 9, 10, 18, 14)},
    {"Fri, 31 Dec 1999 23:59:59 GMT", UTC(1999, 12, 31, 23, 59, 59)},
    {"Sunday, 06-Nov-80 08:49:37 GMT", UTC(1980, 11, 6, 8, 49, 37)},
    {"Sunday, 06-Nov-79 08:49:37 GMT", UTC(1979, 11, 6, 8, 49, 37)},
    {"Thu, 01-Jan-70 00:00:01 GMT", 1},
    {"Sunday, 06-Nov-69 08:49:37 GMT", UTC(2069, 11, 6, 8, 49, 37)},
    {"Sunday, 06-Nov-99 08:49:37 GMT", UTC(1999, 11, 6, 8, 49, 37)},
    {"Sunday, 06-Nov-00 08:49:37 GMT", UTC(2000, 11, 6, 8, 49, 37)},
    {"Mon, 29 Feb 2016 12:00:00 GMT", UTC(2016, 2, 29, 12)},
    {"Sun, xx Nov 1994 08:49:37 GMT", UTC(1994, 11, 1, 8, 49, 37)},
    {"Tue, 29 Feb 2017 12:00:00 GMT", kUnreadable},
    {"Sun, 32 Jan 2020 00:00:00 GMT", kUnreadable},
    {"Sun, 00 Nov 1994 08:49:37 GMT", kUnreadable},
    {"Sun, 06 Foo 1994 08:49:37 GMT", kUnreadable},
    {"Sun, 06 Nov abcd 08:49:37 GMT", kUnreadable},
    {"Sun, 06 Nov 10000 08:49:37 GMT", kUnreadable},
    {"Sun Nov  6 08:49:37 1994 GMT", kUnreadable},
    {"1994-11-06T08:49:37Z", kUnreadable},
    {"garbage", kUnreadable},
    {"", kUnreadable},
};

TEST(InternetDate, ReadsTheFormsServersSend) {
  for (const DateCase& c : kDates) {
    const std::optional<int64_t> local = ReadInternetDate(c.text, kClock);
    if (c.utc == kUnreadable) {
      EXPECT_FALSE(local.has_value()) << '"' << c.text << '"';
    } else {
      EXPECT_EQ(local.value_or(kUnreadable), c.utc + 3 * 3600) << '"' << c.text << '"';
    }
  }
}

TEST(InternetDate, WritesLocalTimeWithTheOffset) {
  EXPECT_EQ(WriteInternetDate(kRfcExample, kClock), "Sun, 6 Nov 1994 08:49:37 +0300");
  const TFixedNetClock west(0, -(5 * 3600 + 30 * 60));
  EXPECT_EQ(WriteInternetDate(UTC(2026, 12, 7, 23, 5, 9), west), "Mon, 7 Dec 2026 23:05:09 -0530");
  EXPECT_EQ(WriteGMTDate(UTC(2026, 1, 2, 3, 4, 5)), "Fri, 02 Jan 2026 03:04:05 GMT");
}

TEST(InternetDate, WhatIsWrittenReadsBackToTheSameInstant) {
  for (int32_t offset : {0, 3 * 3600, -8 * 3600, 5 * 3600 + 45 * 60}) {
    const TFixedNetClock clock(0, offset);
    const int64_t local = UTC(2030, 7, 15, 1, 2, 3) + offset;
    EXPECT_EQ(ReadInternetDate(WriteInternetDate(local, clock), clock), local) << offset;
  }
}

// Run by ctest under several TZ settings, each with the offset it implies.
TEST(InternetDate, TheSystemClockFollowsTheMachinesZone) {
  const char* expected = std::getenv("MELODROP_EXPECTED_UTC_OFFSET");
  if (expected == nullptr) GTEST_SKIP() << "run by ctest with a TZ setting";
  EXPECT_EQ(TNetClock::System().UTCOffsetSeconds(), std::atoi(expected));
}

}  // namespace
