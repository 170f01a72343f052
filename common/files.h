#pragma once
// File helpers shared by the settings file and the track download.

#include <sys/types.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "message.h"
#include "temporary_files.h"

// A file that cannot be made or written: what was tried, the path and the
// system's error number. Its message keeps the path and the reason as the
// system's bytes.
class EFileError : public std::runtime_error, public TMessageCarrier {
 public:
  enum class TAction { kCreate, kWrite };
  EFileError(TAction action, std::string path, int error);

  TAction Action() const { return action_; }
  const std::string& Path() const { return path_; }
  int Error() const { return error_; }
  // "Cannot create file "FULL PATH". REASON", or "Не удалось записать файл
  // "FULL PATH". REASON" when the system refused the bytes.
  TMessage Message() const override;

 private:
  TAction action_;
  std::string path_;
  int error_;
};

// The user's home folder: $HOME when it is an absolute path, else the
// account's; "" when neither is known.
std::string HomeFolder();

// The path with its folder resolved to an absolute one (the name kept as it
// stands); the path itself when the folder does not exist.
std::string FullPath(const std::string& path);

// Writes all bytes to the open file; false when the system refuses some.
bool WriteAll(int handle, std::string_view bytes);

// Whether a path names something that exists and is no regular file: a
// device (/dev/null), a named pipe, a folder. A download writes into it as
// it stands and never puts a file in its place.
bool NamesNoRegularFile(const std::string& path);

// Opens such a path for writing; -1 with errno set when it cannot be (a
// folder; a pipe that no reader holds open, which is not waited for).
int OpenForWritingInPlace(const std::string& path);

// Makes the folders of a file's path that are missing, each with mode 0700;
// false with errno set when one cannot be made.
bool CreateFoldersFor(const std::string& file);

// A new file beside a target that takes the target's place only once it is
// complete: Commit renames it over the target; otherwise the destructor
// removes it, and so does a terminating signal, so a failed write leaves
// nothing behind.
class TReplacingFile {
 public:
  // The new file's mode is trimmed by the umask. Handle() is -1, with errno
  // set, when no file can be made beside the target.
  explicit TReplacingFile(const std::string& target, mode_t mode = 0666);
  TReplacingFile(const TReplacingFile&) = delete;
  TReplacingFile& operator=(const TReplacingFile&) = delete;
  ~TReplacingFile();

  int Handle() const { return handle_; }
  // Closes the file, flushed to the disk first when durable; false with
  // errno set when the system refuses (the bytes did not all get written).
  bool Close(bool durable);
  // Renames the closed file over the target; false with errno set when the
  // system refuses.
  bool Commit();
  // Gives the closed file a name of the target's folder that no file has;
  // false with errno EEXIST when one has.
  bool CommitAsNew(const std::string& name);

 private:
  std::string target_;
  std::string temporary_;
  int handle_ = -1;
  bool committed_ = false;
  std::optional<TRemovedOnSignal> removedOnSignal_;
};
