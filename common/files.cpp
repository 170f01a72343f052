#include "files.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "cp1251.h"
#include "temporary_files.h"

namespace {

TMessage FileErrorMessage(EFileError::TAction action, const std::string& path, int error) {
  static const std::string kCannotWrite = Utf8ToCp1251("Не удалось записать файл ");
  return TMessage(action == EFileError::TAction::kCreate ? "Cannot create file " : kCannotWrite)
      .Append(QuotedPathAndReason(path, error));
}

// Renames unless the name is taken (false with EEXIST). File systems that
// know no such rename (FUSE ones: exFAT cards, NTFS disks) get a hard link,
// and those without links (FAT) a look before a plain rename.
bool MoveWithoutReplacing(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  if (link(from.c_str(), to.c_str()) == 0) {
    // Saved under its name; the temporary name is only a second one.
    unlink(from.c_str());
    return true;
  }
  if (errno == EEXIST) return false;
  struct stat taken;
  if (lstat(to.c_str(), &taken) == 0) {
    errno = EEXIST;
    return false;
  }
  return rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace

EFileError::EFileError(TAction action, std::string path, int error)
    : std::runtime_error(FileErrorMessage(action, path, error).Utf8()),
      action_(action),
      path_(std::move(path)),
      error_(error) {}

TMessage EFileError::Message() const {
  return FileErrorMessage(action_, path_, error_);
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return home;
  // Without one (a service, "env -i"), the account's: never the root folder.
  const passwd* account = getpwuid(getuid());
  return account != nullptr && account->pw_dir != nullptr && account->pw_dir[0] == '/'
             ? account->pw_dir
             : "";
}

std::string FullPath(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  char resolved[PATH_MAX];
  if (realpath(folder.c_str(), resolved) == nullptr) return path;
  return std::string(resolved) + (resolved[1] == '\0' ? "" : "/") + name;
}

bool WriteAll(int handle, std::string_view bytes) {
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t n = write(handle, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool NamesNoRegularFile(const std::string& path) {
  struct stat existing {};
  return stat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode);
}

int OpenForWritingInPlace(const std::string& path) {
  const int handle = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  // Once open, writes wait for a slow reader as they would for a disk.
  if (handle >= 0) fcntl(handle, F_SETFL, fcntl(handle, F_GETFL) & ~O_NONBLOCK);
  return handle;
}

bool CreateFoldersFor(const std::string& file) {
  for (size_t slash = file.find('/', 1); slash != std::string::npos;
       slash = file.find('/', slash + 1)) {
    if (mkdir(file.substr(0, slash).c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return true;
}

TReplacingFile::TReplacingFile(const std::string& target, mode_t mode) : target_(target) {
  // A random part makes a taken name unlikely; a few tries make it rare.
  // Each name is marked for removal on a signal before the file is made, so
  // that no signal finds a file unmarked: the name holds this process's id,
  // and a file that already had it can only be an ended process's.
  for (int attempt = 0; attempt < 16 && handle_ < 0; ++attempt) {
    temporary_ = TemporaryNameBeside(target);
    removedOnSignal_.emplace(temporary_);
    handle_ = open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (handle_ < 0 && errno != EEXIST) break;
  }
  if (handle_ >= 0) {
    MarkTemporaryFileInUse(handle_);
  } else {
    const int error = errno;
    removedOnSignal_.reset();
    temporary_.clear();
    errno = error;
  }
}

TReplacingFile::~TReplacingFile() {
  if (committed_ || temporary_.empty()) return;
  const int error = errno;
  if (handle_ >= 0) close(handle_);
  unlink(temporary_.c_str());
  removedOnSignal_.reset();
  errno = error;
}

bool TReplacingFile::Close(bool durable) {
  int error = 0;
  if (durable && fsync(handle_) != 0) error = errno;
  if (close(handle_) != 0 && error == 0) error = errno;
  handle_ = -1;
  errno = error;
  return error == 0;
}

bool TReplacingFile::Commit() {
  committed_ = rename(temporary_.c_str(), target_.c_str()) == 0;
  if (committed_) removedOnSignal_.reset();
  return committed_;
}

bool TReplacingFile::CommitAsNew(const std::string& name) {
  committed_ = MoveWithoutReplacing(temporary_, name);
  if (committed_) removedOnSignal_.reset();
  return committed_;
}
