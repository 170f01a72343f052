#pragma once
// File helpers shared by the settings file and the track download.

#include <sys/types.h>

#include <string>
#include <string_view>

// The path with its folder resolved to an absolute one (the name kept as it
// stands); the path itself when the folder does not exist.
std::string FullPath(const std::string& path);

// Writes all bytes to the open file; false when the system refuses some.
bool WriteAll(int handle, std::string_view bytes);

// Creates a new file beside target for a write that replaces it (mode
// trimmed by the umask) and puts its name in `name`; -1 with errno set when
// none can be made.
int CreateTemporaryBeside(const std::string& target, mode_t mode, std::string& name);
