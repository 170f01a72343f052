#include "temporary_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "text.h"

namespace {

// The folders that hold this process's temporary files, each with the
// number of files that stand there. A signal handler may read this table:
// no allocation, no lock. Folders, not files: a download queue keeps a
// partial file for every cut track, and a batch may hold thousands.
enum SlotState { kFree, kFilling, kArmed };
struct Slot {
  std::atomic<int> state{kFree};
  int files = 0;  // under gRegistration
  char folder[PATH_MAX];
};
std::array<Slot, 16> gSlots;
std::mutex gRegistration;

// SIGPIPE: a reader of the output that went ("| head"); SIGQUIT: Ctrl+\.
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGQUIT};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsLowerHex(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f');
}

// The process id of a name "X.PID-HEX.tmp" (HEX exactly the 8 digits
// TemporaryNameBeside writes, so that a user's own file that merely looks
// alike, "notes.2024-01.tmp", is never taken for one); -1 when it is none.
// Reads only the name: a signal handler may use it.
pid_t OwnerOf(const char* name) {
  const size_t length = std::strlen(name);
  constexpr size_t kRandom = 8;
  constexpr size_t kEnding = 4;  // ".tmp"
  if (length < 1 + 1 + 1 + 1 + kRandom + kEnding) return -1;
  if (std::strcmp(name + length - kEnding, ".tmp") != 0) return -1;
  const char* random = name + length - kEnding - kRandom;
  for (size_t i = 0; i < kRandom; ++i)
    if (!IsLowerHex(random[i])) return -1;
  const char* dash = random - 1;
  if (*dash != '-') return -1;
  const char* digits = dash;
  while (digits > name && IsDigit(digits[-1])) --digits;
  const size_t count = static_cast<size_t>(dash - digits);
  // The name before ".PID" is not empty.
  if (count == 0 || count > 9 || digits - name < 2 || digits[-1] != '.') return -1;
  pid_t pid = 0;
  for (const char* c = digits; c < dash; ++c) pid = pid * 10 + (*c - '0');
  return pid;
}

// Whether another process holds a lock on the file, as every download holds
// one on its temporary file: a download in another process id namespace (a
// container sharing the home folder) or on another machine (a shared
// folder), where the id in the name tells nothing. Only system calls: a
// signal handler may use it.
bool LockedByAnother(int folder, const char* name) {
  const int handle = openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (handle < 0) return false;
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  const bool locked = fcntl(handle, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
  close(handle);
  return locked;
}

// Removes a regular file of this user (not what a link points to, nor a
// device, which is never opened) unless another process holds it.
void RemoveOwnFile(int folder, const char* name) {
  struct stat file {};
  if (fstatat(folder, name, &file, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(file.st_mode) &&
      file.st_uid == geteuid() && !LockedByAnother(folder, name)) {
    unlinkat(folder, name, 0);
  }
}

// Calls remove(folder handle, name, owner) for each file of the temporary
// naming in the folder. Only system calls: a signal handler may use it.
template <typename TRemove>
void ForEachTemporaryFile(const char* folder, TRemove remove) {
  const int handle = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (handle < 0) return;
  alignas(dirent64) char listing[4096];
  for (ssize_t size; (size = getdents64(handle, listing, sizeof listing)) > 0;) {
    for (ssize_t at = 0; at < size;) {
      const auto* entry = reinterpret_cast<const dirent64*>(listing + at);
      at += entry->d_reclen;
      const pid_t owner = OwnerOf(entry->d_name);
      if (owner > 0) remove(handle, entry->d_name, owner);
    }
  }
  close(handle);
}

void RemoveOwnTemporaryFilesAndDie(int signal) {
  const pid_t self = getpid();
  for (const Slot& slot : gSlots) {
    if (slot.state.load() != kArmed) continue;
    ForEachTemporaryFile(slot.folder, [self](int folder, const char* name, pid_t owner) {
      if (owner == self) RemoveOwnFile(folder, name);
    });
  }
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

uint32_t RandomPart() {
  uint32_t value = 0;
  if (getrandom(&value, sizeof value, GRND_NONBLOCK) != sizeof value) {
    static std::atomic<uint32_t> counter{0};
    value = static_cast<uint32_t>(getpid()) * 2654435761u + ++counter;
  }
  return value;
}

bool Runs(pid_t pid) {
  return pid == getpid() || kill(pid, 0) == 0 || errno != ESRCH;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

}  // namespace

std::string TemporaryNameBeside(const std::string& target) {
  char random[9];
  std::snprintf(random, sizeof random, "%08x", RandomPart());
  const std::string suffix = "." + std::to_string(getpid()) + "-" + random + ".tmp";
  // A target whose name is near the file system's limit still gets a
  // temporary name that fits beside it: its name is cut to make room.
  const size_t slash = target.rfind('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::string name = target.substr(nameStart);
  if (name.size() + suffix.size() <= NAME_MAX) return target + suffix;
  return target.substr(0, nameStart) + text::CutAtLetter(name, NAME_MAX - suffix.size()) + suffix;
}

TRemovedOnSignal::TRemovedOnSignal(const std::string& path) : slot_(-1) {
  const std::string folder = FolderOf(path);
  if (folder.size() >= PATH_MAX) return;
  std::lock_guard lock(gRegistration);
  int free = -1;
  for (size_t i = 0; i < gSlots.size(); ++i) {
    Slot& slot = gSlots[i];
    if (slot.state.load() == kArmed && folder == slot.folder) {
      ++slot.files;
      slot_ = static_cast<int>(i);
      return;
    }
    if (free < 0 && slot.state.load() == kFree) free = static_cast<int>(i);
  }
  if (free < 0) return;
  Slot& slot = gSlots[static_cast<size_t>(free)];
  slot.state.store(kFilling);
  std::memcpy(slot.folder, folder.c_str(), folder.size() + 1);
  slot.files = 1;
  slot.state.store(kArmed);
  slot_ = free;
}

TRemovedOnSignal::~TRemovedOnSignal() {
  if (slot_ < 0) return;
  std::lock_guard lock(gRegistration);
  Slot& slot = gSlots[static_cast<size_t>(slot_)];
  if (--slot.files == 0) slot.state.store(kFree);
}

void RemoveTemporaryFilesOnSignals() {
  struct sigaction action {};
  action.sa_handler = RemoveOwnTemporaryFilesAndDie;
  sigemptyset(&action.sa_mask);
  for (const int signal : kSignals) sigaddset(&action.sa_mask, signal);
  for (const int signal : kSignals) {
    // A signal the caller ignores stays ignored: nohup keeps a download
    // running past a hangup, and a pipe's end is then a write error.
    struct sigaction before {};
    if (sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
    sigaction(signal, &action, nullptr);
  }
}

void RemoveStaleTemporaryFiles(const std::string& target) {
  const int errorBefore = errno;
  ForEachTemporaryFile(FolderOf(target).c_str(), [](int folder, const char* name, pid_t owner) {
    if (!Runs(owner)) RemoveOwnFile(folder, name);
  });
  errno = errorBefore;
}

void MarkTemporaryFileInUse(int handle) {
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  // A file system that keeps no locks leaves the file unmarked: the process
  // id in its name still guards it on this machine.
  fcntl(handle, F_SETLK, &lock);
}
