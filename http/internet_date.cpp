#include "internet_date.h"

#include <cstdarg>
#include <cstdio>

#include "integer_text.h"
#include "text.h"

namespace {

const char* const kDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool IsDayName(const std::string& s) {
  for (const char* day : kDayNames) {
    if (text::EqualsIgnoringCase(s, day)) return true;
  }
  return false;
}

// 1 to 12, or 0 when the text is no month name.
int MonthNumber(const std::string& s) {
  for (int i = 0; i < 12; ++i) {
    if (text::EqualsIgnoringCase(s, kMonthNames[i])) return i + 1;
  }
  return 0;
}

bool IsLeapYear(int64_t year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int64_t year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Takes the text up to the separator off the front of rest (the separator
// dropped, then leading blanks).
std::string TakeToken(std::string& rest, char separator) {
  const size_t at = rest.find(separator);
  std::string token = rest.substr(0, at);
  rest = at == std::string::npos ? "" : text::TrimLeft(rest.substr(at + 1));
  return token;
}

int64_t DecimalOr(const std::string& s, int64_t fallback) {
  const std::optional<int32_t> value = ParseDecimal(s);
  return value ? *value : fallback;
}

struct CivilTime {
  int64_t year;
  int month, day, hour, minute, second, weekday;
};

CivilTime CivilFromSeconds(int64_t seconds) {
  int64_t days = seconds / 86400;
  int64_t daySeconds = seconds % 86400;
  if (daySeconds < 0) {
    daySeconds += 86400;
    --days;
  }
  const int weekday = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
  // Howard Hinnant's civil_from_days.
  const int64_t z = days + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
  return {year,
          month,
          day,
          static_cast<int>(daySeconds / 3600),
          static_cast<int>(daySeconds / 60 % 60),
          static_cast<int>(daySeconds % 60),
          weekday};
}

std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string Printf(const char* format, ...) {
  char buffer[128];
  va_list args;
  va_start(args, format);
  vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

}  // namespace

int64_t DaysFromCivil(int64_t year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yoe = year - era * 400;
  const int64_t doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

std::optional<int64_t> ReadInternetDate(const std::string& dateText, const TNetClock& clock) {
  std::string rest = text::Trim(dateText);
  if (rest.size() >= 3 && IsDayName(rest.substr(0, 3))) {
    if (rest.size() >= 5 && rest[3] == ',' && rest[4] != ' ')
      rest = rest.substr(0, 4) + " " + rest.substr(4);
    const size_t space = rest.find(' ');
    rest = space == std::string::npos ? "" : text::TrimLeft(rest.substr(space + 1));
  }

  const size_t dash = rest.find('-');
  const char separator =
      dash != std::string::npos && dash >= 1 && dash < rest.find(' ') ? '-' : ' ';
  std::string first = TakeToken(rest, separator);
  std::string second = TakeToken(rest, separator);
  const bool monthFirst = MonthNumber(first) != 0;
  const std::string& dayText = monthFirst ? second : first;
  const int month = MonthNumber(monthFirst ? first : second);
  const int64_t day = DecimalOr(dayText, 1);

  std::string token = TakeToken(rest, ' ');
  std::optional<int32_t> yearNumber = ParseDecimal(token);
  if (!yearNumber) {
    // day-name month day time year: the year stands last.
    yearNumber = ParseDecimal(text::Trim(rest));
    rest = token;
  }
  if (!yearNumber || month == 0) return std::nullopt;
  int64_t year = *yearNumber;
  if (year < 70) {
    year += 2000;
  } else if (year <= 99) {
    year += 1900;
  }
  if (year < 1 || year > 9999 || day < 1 || day > DaysInMonth(year, month)) return std::nullopt;
  int64_t seconds = DaysFromCivil(year, month, static_cast<int>(day)) * 86400;

  if (rest.find(':') != std::string::npos) {
    std::string time = TakeToken(rest, ' ');
    const int64_t hours = DecimalOr(TakeToken(time, ':'), 0);
    const int64_t minutes = DecimalOr(TakeToken(time, ':'), 0);
    const int64_t secs = DecimalOr(TakeToken(time, ':'), 0);
    seconds += hours * 3600 + minutes * 60 + secs;
  }

  const std::string zone = text::TrimLeft(rest);
  if (zone.size() > 4 && (zone[0] == '+' || zone[0] == '-')) {
    const std::optional<int32_t> hours = ParseDecimal(zone.substr(1, 2));
    const std::optional<int32_t> minutes = ParseDecimal(zone.substr(3, 2));
    if (hours && minutes && *hours >= 0 && *minutes >= 0) {
      const int64_t offset = int64_t{*hours} * 3600 + int64_t{*minutes} * 60;
      seconds += zone[0] == '+' ? -offset : offset;
    }
  }
  return seconds + clock.UTCOffsetSeconds();
}

std::string WriteInternetDate(int64_t localSeconds, const TNetClock& clock) {
  const CivilTime t = CivilFromSeconds(localSeconds);
  const int32_t offset = clock.UTCOffsetSeconds();
  const int32_t magnitude = offset < 0 ? -offset : offset;
  const std::string zone =
      Printf("%c%.2d%.2d", offset < 0 ? '-' : '+', magnitude / 3600, magnitude / 60 % 60);
  const std::string time = Printf("%.2d:%.2d:%.2d", t.hour, t.minute, t.second);
  return Printf("%s, %d %s %d %s %s", kDayNames[t.weekday], t.day, kMonthNames[t.month - 1],
                static_cast<int>(t.year), time.c_str(), zone.c_str());
}

std::string WriteGMTDate(int64_t localSeconds) {
  const CivilTime t = CivilFromSeconds(localSeconds);
  const std::string time = Printf("%.2d:%.2d:%.2d", t.hour, t.minute, t.second);
  return Printf("%s, %.2d %s %.4d %s %s", kDayNames[t.weekday], t.day, kMonthNames[t.month - 1],
                static_cast<int>(t.year), time.c_str(), "GMT");
}
