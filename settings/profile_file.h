#pragma once
// An INI file read and written one key at a time with the rules of the
// Windows private-profile functions. Every call goes to the file; nothing is
// cached, so two handles on one file see each other's writes at once.

#include <stdexcept>
#include <string>

#include "message.h"

// A write the system refused: "Unable to write to <full path>". The path
// stays the system's bytes in its message.
class EIniFileException : public std::runtime_error, public TMessageCarrier {
 public:
  explicit EIniFileException(const std::string& fullPath)
      : std::runtime_error("Unable to write to " + fullPath), fullPath_(fullPath) {}
  TMessage Message() const override { return TMessage("Unable to write to ").System(fullPath_); }
  const std::string& Path() const { return fullPath_; }

 private:
  std::string fullPath_;
};

// The value of key in section, or defaultValue when the file, the section or
// the key is missing. Names match without regard to case; blanks around the
// value are dropped and matching quotes removed; at most 2047 characters.
std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, const std::string& path);

// Sets key in section to value: in place when the key exists, else at the
// end of the section, else in a new section at the end of the file, which is
// created when missing. Every other byte of the file stays as it was. The
// file is replaced whole, atomically, keeping its owner, group and
// permission bits; a symbolic link's target is written when the writer owns
// both. Where the folder takes no new file, or the new file cannot take the
// old one's owner, a writable file is rewritten in place. A file that cannot
// be read, is read-only, or lies behind another's link is refused and left
// untouched. Writes to files of one folder hold a lock (flock on the
// folder), so that two programs writing at once lose no change; a lock held
// for seconds is given up rather than waited for without end.
void WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path);
