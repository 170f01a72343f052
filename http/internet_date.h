#pragma once
// Dates as servers write them in cookies and headers. Instants are whole
// seconds since 1970-01-01 00:00 in local time (UTC plus the clock's offset).

#include <cstdint>
#include <optional>
#include <string>

#include "net_clock.h"

// The earliest instant: where an unreadable date lands, long past.
constexpr int64_t kEarliestDate = -62135596800;  // 0001-01-01 00:00
// The latest instant a written date reads back as.
constexpr int64_t kLatestDate = 253402300799;  // 9999-12-31 23:59:59

// Reads RFC 1123, RFC 850 and asctime dates, with day names or without,
// "-" or " " between the parts, two-digit years (70 to 99 in the 1900s, 00
// to 69 in the 2000s), "+hhmm"/"-hhmm" zones;
// nothing when the date cannot be read.
std::optional<int64_t> ReadInternetDate(const std::string& text, const TNetClock& clock);

// "Sun, 6 Nov 1994 08:49:37 +0300": local time with the clock's offset.
std::string WriteInternetDate(int64_t localSeconds, const TNetClock& clock);

// "Sun, 06 Nov 1994 08:49:37 GMT", the time written as it stands.
std::string WriteGMTDate(int64_t localSeconds);

// Calendar conversion, exposed for the tests.
int64_t DaysFromCivil(int64_t year, int month, int day);
