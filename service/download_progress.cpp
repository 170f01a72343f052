#include "download_progress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "cp1251.h"

namespace {

constexpr double kKilobyte = 1024.0;
constexpr double kMegabyte = 1024.0 * kKilobyte;
constexpr double kLongestEstimate = 99 * 3600;

// Below a megabyte sizes read in kilobytes: a short track would show as
// "0,0 из 0,1 МБ". The edge lies under 1024 so that no size reads as
// "1024,0 КБ".
struct TUnit {
  double bytes;
  const char* name;  // UTF-8
};

TUnit UnitFor(double bytes) {
  return bytes < 1000 * kKilobyte ? TUnit{kKilobyte, " КБ"} : TUnit{kMegabyte, " МБ"};
}

// "12,3": one decimal place after a comma.
std::string Amount(double bytes, const TUnit& unit) {
  const auto tenths = static_cast<int64_t>(std::llround(bytes / unit.bytes * 10));
  return std::to_string(tenths / 10) + "," + std::to_string(tenths % 10);
}

// "0:15", "12:03", "1:02:03".
std::string Duration(int64_t seconds) {
  char text[32];
  if (seconds >= 3600) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
  }
  return text;
}

}  // namespace

std::string SizeText(int64_t bytes) {
  const TUnit unit = UnitFor(static_cast<double>(bytes));
  return Amount(static_cast<double>(bytes), unit) + Utf8ToCp1251(unit.name);
}

std::string DownloadProgressLine(const TDownloadProgress& progress, TSpeedShown speedShown) {
  static const std::string of = Utf8ToCp1251(" из ");
  static const std::string dot = Utf8ToCp1251(" · ");
  static const std::string perSecond = Utf8ToCp1251("/с");
  static const std::string left = Utf8ToCp1251("осталось ");
  const auto received = static_cast<double>(progress.received);
  const auto total = static_cast<double>(progress.total);
  // Received and total share the unit of the larger.
  const TUnit unit = UnitFor(std::max(received, total));
  std::string line = std::to_string(progress.position) + of + std::to_string(progress.count) + dot +
                     Amount(received, unit);
  if (progress.total >= 0) line += of + Amount(total, unit);
  line += Utf8ToCp1251(unit.name);
  if (progress.bytesPerSecond > 0) {
    if (speedShown == TSpeedShown::kYes) {
      const TUnit speedUnit = UnitFor(progress.bytesPerSecond);
      line += dot + Amount(progress.bytesPerSecond, speedUnit) + Utf8ToCp1251(speedUnit.name) +
              perSecond;
    }
    const double seconds =
        static_cast<double>(progress.total - progress.received) / progress.bytesPerSecond;
    // Beyond four days an estimate says nothing (a trickle, or a length no
    // track has), and it would not fit the count of seconds.
    if (progress.total >= progress.received && seconds <= kLongestEstimate)
      line += dot + left + Duration(static_cast<int64_t>(std::ceil(seconds)));
  }
  return line;
}
