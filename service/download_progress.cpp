#include "download_progress.h"

#include <cmath>
#include <cstdio>

#include "cp1251.h"

namespace {

constexpr double kMegabyte = 1024.0 * 1024.0;
constexpr double kLongestEstimate = 99 * 3600;

// "12,3": one decimal place after a comma.
std::string Megabytes(double bytes) {
  const auto tenths = static_cast<int64_t>(std::llround(bytes / kMegabyte * 10));
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

std::string MegabytesText(int64_t bytes) {
  return Megabytes(static_cast<double>(bytes)) + Utf8ToCp1251(" МБ");
}

std::string DownloadProgressLine(const TDownloadProgress& progress) {
  static const std::string of = Utf8ToCp1251(" из ");
  static const std::string dot = Utf8ToCp1251(" · ");
  static const std::string megabytes = Utf8ToCp1251(" МБ");
  static const std::string perSecond = Utf8ToCp1251(" МБ/с");
  static const std::string left = Utf8ToCp1251("осталось ");
  std::string line = std::to_string(progress.position) + of + std::to_string(progress.count) + dot +
                     Megabytes(static_cast<double>(progress.received));
  if (progress.total >= 0) line += of + Megabytes(static_cast<double>(progress.total));
  line += megabytes;
  if (progress.bytesPerSecond > 0) {
    line += dot + Megabytes(progress.bytesPerSecond) + perSecond;
    const double seconds =
        static_cast<double>(progress.total - progress.received) / progress.bytesPerSecond;
    // Beyond four days an estimate says nothing (a trickle, or a length no
    // track has), and it would not fit the count of seconds.
    if (progress.total >= progress.received && seconds <= kLongestEstimate)
      line += dot + left + Duration(static_cast<int64_t>(std::ceil(seconds)));
  }
  return line;
}
