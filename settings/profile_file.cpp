#include "profile_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

#include "text.h"

namespace {

constexpr size_t kMaxValueLength = 2047;

// One line of the file, without and with its line end.
struct Line {
  std::string content;
  std::string ending;  // "\r\n", "\n" or "" for a last line without one
};

std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

std::vector<Line> SplitLines(const std::string& bytes) {
  std::vector<Line> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t lf = bytes.find('\n', start);
    if (lf == std::string::npos) {
      lines.push_back({bytes.substr(start), ""});
      break;
    }
    const bool crlf = lf > start && bytes[lf - 1] == '\r';
    lines.push_back({bytes.substr(start, lf - start - (crlf ? 1 : 0)), crlf ? "\r\n" : "\n"});
    start = lf + 1;
  }
  return lines;
}

// Blanks around names and values are spaces and tabs.
std::string TrimBlanks(const std::string& s) {
  const size_t first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// The section a header line opens, if it is one: "[ MAIN ]" opens "MAIN".
std::optional<std::string> SectionOf(const std::string& line) {
  const std::string trimmed = TrimBlanks(line);
  if (trimmed.empty() || trimmed[0] != '[') return std::nullopt;
  return TrimBlanks(trimmed.substr(1, trimmed.find(']') - 1));
}

// The key of a "key=value" line, if it is one.
std::optional<std::string> KeyOf(const std::string& line) {
  const size_t equals = line.find('=');
  const std::string key = TrimBlanks(line.substr(0, equals));
  if (equals == std::string::npos || key.empty() || key[0] == ';') return std::nullopt;
  return key;
}

struct Location {
  bool sectionFound = false;
  size_t sectionEnd = 0;  // index after the section's last non-blank line
  std::optional<size_t> keyLine;
};

Location Find(const std::vector<Line>& lines, const std::string& section, const std::string& key) {
  Location where;
  bool inSection = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (const std::optional<std::string> name = SectionOf(lines[i].content)) {
      if (where.sectionFound) break;  // the first section of that name counts
      inSection = text::EqualsIgnoringCase(*name, section);
      if (inSection) {
        where.sectionFound = true;
        where.sectionEnd = i + 1;
      }
      continue;
    }
    if (!inSection) continue;
    if (!TrimBlanks(lines[i].content).empty()) where.sectionEnd = i + 1;
    const std::optional<std::string> name = KeyOf(lines[i].content);
    if (!where.keyLine && name && text::EqualsIgnoringCase(*name, key)) where.keyLine = i;
  }
  return where;
}

std::string FullPath(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  char resolved[PATH_MAX];
  if (realpath(folder.c_str(), resolved) == nullptr) return path;
  return std::string(resolved) + "/" + name;
}

// Writes a temporary file beside the target, flushes it and renames it over
// the target, so that a failed write never leaves a truncated file.
void ReplaceFile(const std::string& path, const std::string& bytes) {
  const std::string fullPath = FullPath(path);
  struct stat existing {};
  const mode_t mode = stat(fullPath.c_str(), &existing) == 0 ? existing.st_mode & 07777 : 0644;
  std::string temporary = fullPath + ".XXXXXX";
  const int handle = mkstemp(temporary.data());
  bool written = handle >= 0;
  for (size_t done = 0; written && done < bytes.size();) {
    const ssize_t n = write(handle, bytes.data() + done, bytes.size() - done);
    written = n > 0;
    done += written ? static_cast<size_t>(n) : 0;
  }
  if (handle >= 0) {
    written = written && fchmod(handle, mode) == 0 && fsync(handle) == 0;
    written = close(handle) == 0 && written;
  }
  if (!written || rename(temporary.c_str(), fullPath.c_str()) != 0) {
    if (handle >= 0) unlink(temporary.c_str());
    throw EIniFileException("Unable to write to " + fullPath);
  }
}

}  // namespace

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, const std::string& path) {
  const std::optional<std::string> bytes = ReadFile(path);
  if (!bytes) return defaultValue;
  const std::vector<Line> lines = SplitLines(*bytes);
  const Location where = Find(lines, section, key);
  if (!where.keyLine) return defaultValue;
  const std::string& line = lines[*where.keyLine].content;
  std::string value = TrimBlanks(line.substr(line.find('=') + 1));
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
    value = value.substr(1, value.size() - 2);
  }
  return value.substr(0, kMaxValueLength);
}

void WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path) {
  const std::string bytes = ReadFile(path).value_or("");
  std::vector<Line> lines = SplitLines(bytes);
  // New lines follow the file's own line ends.
  const std::string ending =
      !lines.empty() && lines.front().ending == "\n" ? std::string("\n") : std::string("\r\n");
  const Location where = Find(lines, section, key);
  if (where.keyLine) {
    std::string& line = lines[*where.keyLine].content;
    line = line.substr(0, line.find('=') + 1) + value;
  } else {
    if (!lines.empty() && lines.back().ending.empty()) lines.back().ending = ending;
    const Line keyLine{key + "=" + value, ending};
    if (where.sectionFound) {
      lines.insert(lines.begin() + static_cast<long>(where.sectionEnd), keyLine);
    } else {
      lines.push_back({"[" + section + "]", ending});
      lines.push_back(keyLine);
    }
  }
  std::string result;
  for (const Line& line : lines) result += line.content + line.ending;
  ReplaceFile(path, result);
}
