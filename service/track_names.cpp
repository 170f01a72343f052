#include "track_names.h"

#include <cerrno>
#include <string_view>

#include "cp1251.h"
#include "text.h"

namespace {

constexpr std::string_view kEnding = ".mp3";
constexpr std::size_t kLongestName = 200;
// A name is halved while it has more than this many bytes before ".mp3".
constexpr std::size_t kShortestCut = 16;

bool EndsWithMp3(std::string_view name) {
  return name.size() >= kEnding.size() &&
         text::EqualsIgnoringCase(name.substr(name.size() - kEnding.size()), kEnding);
}

std::string WithoutEnding(const std::string& fileName) {
  return EndsWithMp3(fileName) ? fileName.substr(0, fileName.size() - kEnding.size()) : fileName;
}

}  // namespace

std::string SafeTrackFileName(const std::string& title) {
  std::string name = Cp1251ToUtf8(title);
  for (char& byte : name) {
    const auto code = static_cast<unsigned char>(byte);
    if (byte == '/' || code < 0x20 || code == 0x7F) byte = '_';
  }
  name = text::Trim(name);
  while (EndsWithMp3(name)) name = text::TrimRight(name.substr(0, name.size() - kEnding.size()));
  const std::size_t first = name.find_first_not_of(". ");
  name = first == std::string::npos ? "" : name.substr(first);
  name = text::TrimRight(text::CutAtLetter(name, kLongestName - kEnding.size()));
  if (name.empty()) name = "track";
  return name + std::string(kEnding);
}

std::string PortableTrackFileName(const std::string& fileName) {
  std::string name = fileName;
  for (char& byte : name)
    if (std::string_view("\\:*?\"<>|").find(byte) != std::string_view::npos) byte = '_';
  return name;
}

std::string TrackFileNameInstead(const std::string& fileName, int error) {
  if (error == EINVAL || error == ENOENT) {
    const std::string portable = PortableTrackFileName(fileName);
    return portable != fileName ? portable : "";
  }
  const std::string title = WithoutEnding(fileName);
  if (error != ENAMETOOLONG || title.size() < kShortestCut) return "";
  return text::TrimRight(text::CutAtLetter(title, title.size() / 2)) + std::string(kEnding);
}

std::string NumberedTrackFileName(const std::string& fileName, int number) {
  const std::string suffix = " (" + std::to_string(number) + ")" + std::string(kEnding);
  return text::TrimRight(text::CutAtLetter(WithoutEnding(fileName), kLongestName - suffix.size())) +
         suffix;
}
