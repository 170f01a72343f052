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
#include <optional>

#include "text.h"

namespace {

// A fixed table the signal handler may read: no allocation, no lock.
enum SlotState { kFree, kFilling, kArmed };
struct Slot {
  std::atomic<int> state{kFree};
  char path[PATH_MAX];
};
std::array<Slot, 16> gSlots;

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

void RemoveArmedFilesAndDie(int signal) {
  for (Slot& slot : gSlots) {
    if (slot.state.load() == kArmed) unlink(slot.path);
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

// The process id of a name "X.PID-HEX.tmp", if it is one.
std::optional<pid_t> OwnerOf(const std::string& name) {
  const std::string ending = ".tmp";
  if (name.size() <= ending.size() || name.compare(name.size() - 4, 4, ending) != 0) {
    return std::nullopt;
  }
  const std::string stem = name.substr(0, name.size() - ending.size());
  const size_t dash = stem.rfind('-');
  const size_t dot = stem.rfind('.', dash);
  if (dash == std::string::npos || dot == std::string::npos || dot == 0 || dash == stem.size() - 1)
    return std::nullopt;
  const std::string pid = stem.substr(dot + 1, dash - dot - 1);
  const std::string random = stem.substr(dash + 1);
  // Exactly the random part TemporaryNameBeside writes: a user's own file
  // that merely looks alike ("notes.2024-01.tmp") is never taken for one.
  if (pid.empty() || pid.size() > 9 || pid.find_first_not_of("0123456789") != std::string::npos ||
      random.size() != 8 || random.find_first_not_of("0123456789abcdef") != std::string::npos) {
    return std::nullopt;
  }
  return static_cast<pid_t>(std::stol(pid));
}

bool Runs(pid_t pid) {
  return pid == getpid() || kill(pid, 0) == 0 || errno != ESRCH;
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
  if (path.size() >= PATH_MAX) return;
  for (size_t i = 0; i < gSlots.size(); ++i) {
    int expected = kFree;
    if (!gSlots[i].state.compare_exchange_strong(expected, kFilling)) continue;
    std::memcpy(gSlots[i].path, path.c_str(), path.size() + 1);
    gSlots[i].state.store(kArmed);
    slot_ = static_cast<int>(i);
    return;
  }
}

TRemovedOnSignal::~TRemovedOnSignal() {
  if (slot_ >= 0) gSlots[static_cast<size_t>(slot_)].state.store(kFree);
}

void RemoveTemporaryFilesOnSignals() {
  struct sigaction action {};
  action.sa_handler = RemoveArmedFilesAndDie;
  sigemptyset(&action.sa_mask);
  for (const int signal : kSignals) sigaddset(&action.sa_mask, signal);
  for (const int signal : kSignals) sigaction(signal, &action, nullptr);
}

void RemoveStaleTemporaryFiles(const std::string& target) {
  const size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
  DIR* listing = opendir(folder.c_str());
  if (listing == nullptr) return;
  const int errorBefore = errno;
  while (const dirent* entry = readdir(listing)) {
    const std::string name = entry->d_name;
    const std::optional<pid_t> owner = OwnerOf(name);
    if (!owner || Runs(*owner)) continue;
    struct stat file {};
    if (fstatat(dirfd(listing), name.c_str(), &file, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(file.st_mode) && file.st_uid == geteuid()) {
      unlinkat(dirfd(listing), name.c_str(), 0);
    }
  }
  closedir(listing);
  errno = errorBefore;
}
