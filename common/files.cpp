#include "files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "temporary_files.h"

std::string FullPath(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  char resolved[PATH_MAX];
  if (realpath(folder.c_str(), resolved) == nullptr) return path;
  return std::string(resolved) + (resolved[1] == '\0' ? "" : "/") + name;
}

namespace {

// Creates a new file beside target for a write that replaces it and puts
// its name in `name`; -1 with errno set when none can be made.
int CreateTemporaryBeside(const std::string& target, mode_t mode, std::string& name) {
  // A random part makes a taken name unlikely; a few tries make it rare.
  for (int attempt = 0; attempt < 16; ++attempt) {
    name = TemporaryNameBeside(target);
    const int handle = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (handle >= 0 || errno != EEXIST) return handle;
  }
  return -1;
}

}  // namespace

bool WriteAll(int handle, std::string_view bytes) {
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t n = write(handle, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool CreateFoldersFor(const std::string& file) {
  for (size_t slash = file.find('/', 1); slash != std::string::npos;
       slash = file.find('/', slash + 1)) {
    if (mkdir(file.substr(0, slash).c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return true;
}

TReplacingFile::TReplacingFile(const std::string& target, mode_t mode)
    : target_(target), handle_(CreateTemporaryBeside(target, mode, temporary_)) {
  // The name of an attempt that failed may be another's file.
  if (handle_ < 0) {
    const int error = errno;
    temporary_.clear();
    errno = error;
    return;
  }
  removedOnSignal_.emplace(temporary_);
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
