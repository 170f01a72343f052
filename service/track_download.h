#pragma once
// The download of one track: its body received straight into a temporary
// file beside the chosen name, which takes the name only once the track
// arrived whole.

#include <cstdint>
#include <memory>
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

// A track's link answered with a web page (a portal's login page, say), or
// with the track in a content coding (gzip) this program does not undo:
// saved, it would pass for the track.
class ENotATrack : public ENetException {
 public:
  using ENetException::ENetException;
};

// Whether a 206 reply carries the track from its byte at `from` to its
// end, of a size the server tells.
bool CarriesRestFrom(const TNetHTTPResponse& response, int64_t from);

// Gets the link into the stream, the track from its byte at `from` (asked
// for by the caller's Range header). Raises ETrackIncomplete when fewer
// bytes came than the reply announced, a chunked reply ended before its last
// chunk, or a 206 reply carries another part than the rest from `from` (it
// is not read); ENotATrack when the reply is a web page (text/html) or
// content-coded. Every
// other failure of the request raises as the client raises it.
void FetchTrack(TNetHTTP& http, const std::string& link, TStream& into, int64_t from = 0);

// The name a track is saved under: the chosen name, with ".mp3" appended
// unless it already ends so (in any letter case).
std::string SavedTrackPath(const std::string& chosenName);

// A new temporary file for a track named name in folder (which ends in
// "/" or is ""), or, where the folder refuses that name, under one it takes
// instead (see TrackFileNameInstead); name becomes the one used. Raises
// "Cannot create file "<folder><name>". <system's reason>" for the first
// name when the folder takes none.
std::unique_ptr<TReplacingFile> NewTrackFile(const std::string& folder, std::string& name);

// Gives the closed file the name in folder, or, when a file has it, the
// name numbered " (2)", " (3)" and so on: no file is replaced. Returns the
// path saved; raises "Cannot create file ..." when the system refuses.
std::string CommitWithoutReplacing(TReplacingFile& file, const std::string& folder,
                                   const std::string& name);

// The file a track is saved in. Made when the download begins, before the
// first byte is requested; Receive fills it as the body arrives and, once
// the track is whole and on the disk, renames it over the path, replacing
// the file that had the name when it was made (the one the user agreed to
// replace); a file that took the name since stays, and the track is saved
// numbered beside it. On any failure (a stop, a cut transfer, a full disk)
// the temporary file is removed and nothing is written. A path that names
// a device or a named pipe (/dev/null) takes the body as it comes, in its
// place: it is never replaced by a file.
class TTrackFile {
 public:
  // Raises "Cannot create file "<full path>". <system's reason>" when the
  // folder takes no new file. A name the folder refuses gives way to one it
  // takes (see NewTrackFile), which then replaces no file.
  explicit TTrackFile(std::string path);
  ~TTrackFile();
  TTrackFile(const TTrackFile&) = delete;
  TTrackFile& operator=(const TTrackFile&) = delete;

  // Where the track is saved: once received, the numbered name when the
  // path was taken meanwhile.
  const std::string& Path() const { return path_; }

  // Raises what FetchTrack raises, "Не удалось записать файл "<full
  // path>". <system's reason>" when the system refuses the bytes, and
  // "Cannot create file ..." when the file cannot take the name.
  void Receive(TNetHTTP& http, const std::string& link);

 private:
  std::string path_;
  std::string folder_;
  std::string name_;
  std::unique_ptr<TReplacingFile> file_;
  int inPlace_ = -1;  // the device or pipe written into, when the path names one
  bool replaces_ = true;
};
