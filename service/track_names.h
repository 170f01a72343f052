#pragma once
// The file names tracks get from their titles when no one types a name:
// safe for a file system, and never the name of a file already there.

#include <string>

// The title (Windows-1251) as a file name in the file system's encoding
// (UTF-8): "/" and control bytes become "_", no leading dot or space, at
// most 200 bytes cut at a whole letter, ".mp3" once at the end.
std::string SafeTrackFileName(const std::string& title);

// The name as the file systems of players and memory cards (FAT, exFAT,
// NTFS) take it: each of \ : * ? " < > | becomes "_".
std::string PortableTrackFileName(const std::string& fileName);

// A name the folder may take instead of one it refused with the errno
// given: without the characters a memory card refuses (EINVAL, or ENOENT
// from some drivers), or half as long (ENAMETOOLONG: an encrypted home
// takes names of 143 bytes, and no path is longer than 4096); "" when there
// is none.
std::string TrackFileNameInstead(const std::string& fileName, int error);

// The name with " (number)" before its ".mp3", within the same 200 bytes:
// "Title (2).mp3".
std::string NumberedTrackFileName(const std::string& fileName, int number);
