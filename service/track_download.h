#pragma once
// The download of one track: its body received straight into a temporary
// file beside the chosen name, which takes the name only once the track
// arrived whole.

#include <cstdint>
#include <optional>
#include <string>

#include "files.h"
#include "http_client.h"
#include "net_exceptions.h"
#include "streams.h"

// A track's reply that ended before its announced end: a download that
// would save a cut file.
class ETrackIncomplete : public ENetException {
 public:
  using ENetException::ENetException;
};

// A track's link answered with a web page (a portal's login page, say):
// saved, it would pass for the track.
class ENotATrack : public ENetException {
 public:
  using ENetException::ENetException;
};

// The part of a track that a 206 reply carries ("bytes FIRST-LAST/TOTAL";
// a total of -1 when the server does not tell it).
struct TTrackPart {
  int64_t first = 0;
  int64_t last = 0;
  int64_t total = -1;

  // Whether the part runs from the byte at `from` to the track's end.
  bool IsRestFrom(int64_t from) const;
};
std::optional<TTrackPart> TrackPartOf(const std::string& contentRange);

// Gets the link into the stream, the track from its byte at `from` (asked
// for by the caller's Range header). Raises ETrackIncomplete when fewer
// bytes came than the reply announced, a chunked reply ended before its last
// chunk, or a 206 reply carries another part than the rest from `from` (it
// is not read); ENotATrack when the reply is a web page (text/html). Every
// other failure of the request raises as the client raises it.
void FetchTrack(TNetHTTP& http, const std::string& link, TStream& into, int64_t from = 0);

// The name a track is saved under: the chosen name, with ".mp3" appended
// unless it already ends so (in any letter case).
std::string SavedTrackPath(const std::string& chosenName);

// The file a track is saved in. Made when the download begins, before the
// first byte is requested; Receive fills it as the body arrives and, once
// the track is whole and on the disk, renames it over the path (replacing a
// file that had the name). On any failure (a stop, a cut transfer, a full
// disk) the temporary file is removed and nothing is written.
class TTrackFile {
 public:
  // Raises "Cannot create file "<full path>". <system's reason>" when the
  // folder takes no new file.
  explicit TTrackFile(std::string path);

  // Raises what FetchTrack raises, "Не удалось записать файл "<full
  // path>". <system's reason>" when the system refuses the bytes, and
  // "Cannot create file ..." when the file cannot take the name.
  void Receive(TNetHTTP& http, const std::string& link);

 private:
  std::string path_;
  TReplacingFile file_;
};
