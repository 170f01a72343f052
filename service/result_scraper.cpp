#include "result_scraper.h"

#include <optional>

#include "cp1251.h"
#include "integer_text.h"

namespace result_scraper {

namespace {

const std::string kCountMarker = Utf8ToCp1251("<h3>Найдено: <b>");
constexpr std::string_view kTrackMarker = "<div class=\"audioSong\" file=\"";
constexpr std::string_view kLinkMarker = "url=\"";
constexpr std::string_view kTitleMarker = "title=\"";
constexpr size_t kMaxCountDigits = 9;
constexpr size_t kSegmentLength = 200;
constexpr size_t kLinkWindow = 75;
constexpr size_t kTitleWindow = 100;

// The window's first character, then the next ones up to the terminator;
// never beyond the window.
std::string CutAt(std::string_view window, char terminator) {
  if (window.empty()) return "";
  const size_t end = window.find(terminator, 1);
  return std::string(window.substr(0, end));
}

// An attribute's value in the window behind its opening quote: up to the
// closing one. An empty value stays empty, never the markup behind it.
std::string AttributeValue(std::string_view window) {
  return std::string(window.substr(0, window.find('"')));
}

// A window of `length` characters at `start`, or what is left of the text.
std::string_view Window(std::string_view text, size_t start, size_t length) {
  return start >= text.size() ? std::string_view() : text.substr(start, length);
}

std::optional<uint32_t> NumericReference(std::string_view digits) {
  const bool hex = !digits.empty() && (digits[0] == 'x' || digits[0] == 'X');
  if (hex) digits.remove_prefix(1);
  if (digits.empty() || digits.size() > 7) return std::nullopt;
  uint32_t value = 0;
  for (char c : digits) {
    int digit = c >= '0' && c <= '9' ? c - '0' : -1;
    if (hex && digit < 0 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (hex && digit < 0 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return std::nullopt;
    value = value * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
  }
  return value;
}

// The byte a reference ("amp", "#1075", "#x433") stands for, if it is one we decode.
std::optional<char> ReferencedByte(std::string_view name) {
  if (name == "amp") return '&';
  if (name == "lt") return '<';
  if (name == "gt") return '>';
  if (name == "quot") return '"';
  // Control characters would break the list rows and the tab-separated lines.
  if (name.size() > 1 && name[0] == '#') {
    if (const std::optional<uint32_t> codePoint = NumericReference(name.substr(1))) {
      if (*codePoint >= 32) return Cp1251FromCodePoint(*codePoint);
    }
  }
  return std::nullopt;
}

}  // namespace

int ReadMatchCount(std::string_view page) {
  const size_t marker = page.find(kCountMarker);
  // Without the marker the window stands where a marker at the start would put it.
  const size_t start =
      (marker == std::string_view::npos ? 0 : marker + 1) + kCountMarker.size() - 1;
  const std::string count = CutAt(Window(page, start, kMaxCountDigits + 1), '<');
  if (count.size() > kMaxCountDigits)
    throw EConvertError("'" + count + "' is not a valid integer value");
  return DecimalStrToInt(count);
}

bool HasMatchCount(std::string_view page) {
  return page.find(kCountMarker) != std::string_view::npos;
}

int PageCount(int matchCount) {
  return matchCount > 0 ? (matchCount + kTracksPerPage - 1) / kTracksPerPage : 0;
}

void ScrapeTracks(std::string_view page,
                  const std::function<void(const std::string&, const std::string&)>& track) {
  size_t next;
  for (size_t d = page.find(kTrackMarker); d != std::string_view::npos; d = next) {
    // Each search stays within the track's own part of the page, up to the
    // next track: a value of the next track is never taken for this one.
    const size_t behind = d + kTrackMarker.size();
    next = page.find(kTrackMarker, behind);
    const std::string_view part =
        page.substr(behind, next == std::string_view::npos ? next : next - behind);
    const size_t u = part.find(kLinkMarker);
    if (u == std::string_view::npos) continue;  // nothing to download for it
    const std::string link = AttributeValue(Window(part, u + kLinkMarker.size(), kLinkWindow));
    if (link.empty()) continue;
    const std::string_view segment = part.substr(0, kSegmentLength);
    const size_t t = segment.find(kTitleMarker);
    const std::string title =
        t == std::string_view::npos
            ? ""
            : AttributeValue(Window(segment, t + kTitleMarker.size(), kTitleWindow));
    track(DecodeCharacterReferences(title), DecodeCharacterReferences(link));
  }
}

std::string DecodeCharacterReferences(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      const size_t semicolon = text.find(';', i + 1);
      if (semicolon != std::string_view::npos && semicolon - i <= 10) {
        if (const std::optional<char> byte =
                ReferencedByte(text.substr(i + 1, semicolon - i - 1))) {
          decoded += *byte;
          i = semicolon;
          continue;
        }
      }
    }
    decoded += text[i];
  }
  return decoded;
}

}  // namespace result_scraper
