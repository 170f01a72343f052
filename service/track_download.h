#pragma once
// The download of one track: its file fetched whole into memory, checked,
// then written to disk in one piece.

#include <functional>
#include <string>

#include "http_client.h"
#include "net_exceptions.h"
#include "streams.h"

// A track's reply that ended before its announced end: a download that
// would save a cut file.
class ETrackIncomplete : public ENetException {
 public:
  using ENetException::ENetException;
};

// Gets the link into the buffer. Raises ETrackIncomplete when fewer bytes
// came than the reply announced, or a chunked reply ended before its last
// chunk; every other failure of the request raises as the client raises it.
void FetchTrack(TNetHTTP& http, const std::string& link, TMemoryStream& buffer);

// The name a track is saved under: the chosen name, with ".mp3" appended
// unless it already ends so (in any letter case).
std::string SavedTrackPath(const std::string& chosenName);

// Raises SaveTrack's "Cannot create file" failure at once when no file can
// be made beside path (a folder that takes no new file): checked before
// anything is fetched.
void CheckTrackCanBeSaved(const std::string& path);

// Writes the whole buffer to path through a temporary file beside it, which
// only a complete write renames over path; nothing is left behind on
// failure. Raises "Cannot create file "<full path>". <system's reason>"
// when the file cannot be made, and "Cannot write file ..." when the bytes
// cannot be written. betweenPieces runs after each piece of 4 MiB written.
void SaveTrack(const TMemoryStream& buffer, const std::string& path,
               const std::function<void()>& betweenPieces = {});
