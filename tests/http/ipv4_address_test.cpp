#include <gtest/gtest.h>

#include "ipv4_address.h"
#include "net_exceptions.h"

namespace {

struct NumericCase {
  const char* text;
  const char* address;  // nullptr: not a numeric address
};

const NumericCase kNumericCases[] = {{"127.0.0.1", "127.0.0.1"},
                                     {"0.0.0.0", "0.0.0.0"},
                                     {"255.255.255.255", "255.255.255.255"},
                                     {"10.1", "10.0.0.1"},
                                     {"10.16777215", "10.255.255.255"},
                                     {"1.2.65535", "1.2.255.255"},
                                     {"1.2.258", "1.2.1.2"},
                                     {"4294967295", "255.255.255.255"},
                                     {"16909060", "1.2.3.4"},
                                     {"1.2.3.256", nullptr},
                                     {"256.1", nullptr},
                                     {"1.2.65536", nullptr},
                                     {"10.16777216", nullptr},
                                     {"4294967296", nullptr},
                                     {"1.2.3.4.5", nullptr},
                                     {"1..3.4", nullptr},
                                     {"", nullptr},
                                     {"1.2.3.", nullptr},
                                     {"+1.2.3.4", nullptr},
                                     {"1.2.3.4 ", nullptr},
                                     {"localhost", nullptr},
                                     {"99999999999999999999", nullptr}};

TEST(NumericIPv4, ParsesTheFourForms) {
  for (const NumericCase& c : kNumericCases) {
    const std::optional<uint32_t> parsed = ParseNumericIPv4(c.text);
    if (c.address == nullptr) {
      EXPECT_FALSE(parsed.has_value()) << c.text;
    } else {
      EXPECT_EQ(parsed ? FormatIPv4(*parsed) : "none", c.address) << c.text;
    }
  }
}

TEST(NumericIPv4, AnUnparsableAddressTextRaises) {
  try {
    IPv4ToBytes("10.0.0.300");
    FAIL();
  } catch (const ENetInvalidIPAddress& e) {
    EXPECT_STREQ(e.what(), "10.0.0.300 is not a valid IP address.");
  }
}

}  // namespace
