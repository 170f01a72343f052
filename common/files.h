#pragma once
// File helpers shared by the settings file and the track download.

#include <string>
#include <string_view>

// The path with its folder resolved to an absolute one (the name kept as it
// stands); the path itself when the folder does not exist.
std::string FullPath(const std::string& path);

// Writes all bytes to the open file; false when the system refuses some.
bool WriteAll(int handle, std::string_view bytes);
