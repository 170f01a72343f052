#include "profile_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <thread>
#include <vector>

#include "files.h"
#include "text.h"

namespace {

constexpr size_t kMaxValueLength = 2047;
constexpr int kFolderLockWaitMs = 2000;

// One line of the file, without and with its line end.
struct Line {
  std::string content;
  // "\r\n", "\n", or for a last line "" or "\r" (a line end cut short)
  std::string ending;
};

enum class ReadOutcome { kRead, kMissing, kUnreadable };

// Only a regular file is read: a pipe of that name would hold the program
// at its start, a link to a device would feed it without end.
ReadOutcome ReadFile(const std::string& path, std::string& bytes) {
  const int handle = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (handle < 0) return errno == ENOENT ? ReadOutcome::kMissing : ReadOutcome::kUnreadable;
  struct stat file {};
  if (fstat(handle, &file) != 0 || !S_ISREG(file.st_mode)) {
    close(handle);
    return ReadOutcome::kUnreadable;
  }
  char block[8192];
  ssize_t n;
  while ((n = read(handle, block, sizeof block)) > 0) bytes.append(block, static_cast<size_t>(n));
  close(handle);
  return n == 0 ? ReadOutcome::kRead : ReadOutcome::kUnreadable;
}

std::vector<Line> SplitLines(const std::string& bytes) {
  std::vector<Line> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t lf = bytes.find('\n', start);
    if (lf == std::string::npos) {
      const bool cr = bytes.back() == '\r';
      lines.push_back({bytes.substr(start, bytes.size() - start - (cr ? 1 : 0)), cr ? "\r" : ""});
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
// An editor that saves as UTF-8 may put its byte order mark before the
// first header; it is not part of the header, and stays in the file.
std::optional<std::string> SectionOf(const std::string& line) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  const std::string trimmed =
      TrimBlanks(line.starts_with(kByteOrderMark) ? line.substr(kByteOrderMark.size()) : line);
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

// The file a write goes to: a symbolic link's target, so that the link
// stays. A link is followed only when the writer owns it and its target:
// one planted by another user must not steer the write to a file of theirs
// (or, for root, to any file at all).
std::optional<std::string> WriteTarget(const std::string& fullPath) {
  struct stat link {};
  char resolved[PATH_MAX];
  if (realpath(fullPath.c_str(), resolved) == nullptr) return fullPath;
  if (lstat(fullPath.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return std::string(resolved);
  struct stat target {};
  if (link.st_uid != geteuid() || stat(resolved, &target) != 0 || target.st_uid != geteuid()) {
    return std::nullopt;
  }
  return std::string(resolved);
}

// The lock of every read-modify-write of files in one folder: two programs
// writing one file at once would each replace the other's change. A writer
// holds it for a moment; one that holds it longer (stopped, or anyone who
// may read the folder) is waited for kFolderLockWaitMs, then the write goes
// ahead without it rather than hang.
class TFolderLock {
 public:
  explicit TFolderLock(const std::string& file)
      : handle_(
            open(file.substr(0, file.rfind('/') + 1).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (handle_ < 0) return;
    const auto end =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kFolderLockWaitMs);
    while (flock(handle_, LOCK_EX | LOCK_NB) != 0 && (errno == EWOULDBLOCK || errno == EINTR) &&
           std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  TFolderLock(const TFolderLock&) = delete;
  TFolderLock& operator=(const TFolderLock&) = delete;
  ~TFolderLock() {
    if (handle_ >= 0) close(handle_);
  }

 private:
  int handle_;
};

// The new file takes the old one's owner, group and mode, so that a write
// (by root, say) leaves the file as usable by its owner as it was.
bool TakeOwnerAndMode(int handle, const struct stat& old) {
  struct stat now {};
  if (fstat(handle, &now) != 0) return false;
  if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
      fchown(handle, old.st_uid, old.st_gid) != 0) {
    return false;
  }
  return fchmod(handle, old.st_mode & 07777) == 0;
}

// A folder that refuses new files may still hold a file that may be written.
bool RewriteInPlace(const std::string& target, const std::string& bytes) {
  const int handle = open(target.c_str(), O_WRONLY | O_CLOEXEC);
  if (handle < 0) return false;
  bool written =
      WriteAll(handle, bytes) && ftruncate(handle, static_cast<off_t>(bytes.size())) == 0;
  written = written && fsync(handle) == 0;
  return close(handle) == 0 && written;
}

bool ReplaceFile(const std::string& target, const std::string& bytes) {
  struct stat existing {};
  const bool exists = stat(target.c_str(), &existing) == 0;
  // A file without any write permission is read-only for its owner too, as
  // the system's read-only attribute is for every user.
  if (exists && (access(target.c_str(), W_OK) != 0 || (existing.st_mode & 0222) == 0)) {
    return false;
  }
  // A temporary file beside the target, flushed and renamed over it, so
  // that a failed write never leaves a truncated file. Where it cannot be
  // made, or cannot take the old file's owner, the file is written in place.
  TReplacingFile file(target, exists ? 0600 : 0666);
  if (file.Handle() < 0)
    return exists && (errno == EACCES || errno == EPERM) && RewriteInPlace(target, bytes);
  if (exists && !TakeOwnerAndMode(file.Handle(), existing)) return RewriteInPlace(target, bytes);
  return WriteAll(file.Handle(), bytes) && file.Close(true) && file.Commit();
}

}  // namespace

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, const std::string& path) {
  std::string bytes;
  if (ReadFile(path, bytes) != ReadOutcome::kRead) return defaultValue;
  const std::vector<Line> lines = SplitLines(bytes);
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
  const std::string fullPath = FullPath(path);
  const std::optional<std::string> followed = WriteTarget(fullPath);
  if (!followed) throw EIniFileException(fullPath);
  const std::string& target = *followed;
  const TFolderLock lock(target);
  std::string bytes;
  // A file that cannot be read would be replaced by the one key: the
  // other settings would be lost.
  if (ReadFile(target, bytes) == ReadOutcome::kUnreadable) {
    throw EIniFileException(fullPath);
  }
  std::vector<Line> lines = SplitLines(bytes);
  // New lines follow the file's own line ends.
  const std::string ending =
      !lines.empty() && lines.front().ending == "\n" ? std::string("\n") : std::string("\r\n");
  const Location where = Find(lines, section, key);
  if (where.keyLine) {
    std::string& line = lines[*where.keyLine].content;
    line = line.substr(0, line.find('=') + 1) + value;
  } else {
    // A last line gets its end; a CR cut short of its LF is completed, so
    // that the line keeps the meaning it had when the file was read.
    if (!lines.empty() && lines.back().ending.empty()) lines.back().ending = ending;
    if (!lines.empty() && lines.back().ending == "\r") lines.back().ending = "\r\n";
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
  if (!ReplaceFile(target, result)) throw EIniFileException(fullPath);
}
