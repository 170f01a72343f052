#pragma once
// The temporary files a write makes beside its target ("NAME.PID-RANDOM.tmp")
// and what removes them when the write cannot: a terminating signal, or a
// later download into the same folder after the process died.

#include <string>

// The name of a new temporary file beside target, with a fresh random part.
std::string TemporaryNameBeside(const std::string& target);

// While it lives, a terminating signal (SIGINT, SIGTERM, SIGHUP, SIGPIPE,
// SIGQUIT) removes the file of that name, with every other temporary file of
// this process's id in its folder that no other process marks as in use,
// before the process ends.
class TRemovedOnSignal {
 public:
  explicit TRemovedOnSignal(const std::string& path);
  TRemovedOnSignal(const TRemovedOnSignal&) = delete;
  TRemovedOnSignal& operator=(const TRemovedOnSignal&) = delete;
  ~TRemovedOnSignal();

 private:
  int slot_;
};

// Installs the handlers of those signals that remove the files named above,
// then end the process by the signal as it would have.
void RemoveTemporaryFilesOnSignals();

// Marks an open temporary file as in use (a lock that ends with the
// process), so that no process elsewhere takes it for an ended one's.
void MarkTemporaryFileInUse(int handle);

// Removes the temporary files of this naming in the folder of target that
// belong to this user, whose process no longer runs and that no process
// marks as in use.
void RemoveStaleTemporaryFiles(const std::string& target);
