#include "track_download.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <functional>

#include "files.h"
#include "service_texts.h"
#include "text.h"

void FetchTrack(TNetHTTP& http, const std::string& link, TStream& into) {
  const int64_t start = into.Position();
  http.Get(link, into);
  const TNetHTTPResponse& response = http.Response();
  if (!response.BodyTruncated) return;
  const int64_t received = into.Position() - start;
  if (response.ContentLength > 0) {
    throw ETrackIncomplete(service_texts::TrackIncomplete(received, response.ContentLength));
  }
  throw ETrackIncomplete(service_texts::TrackCutShort(received));
}

std::string SavedTrackPath(const std::string& chosenName) {
  const std::string ending = ".mp3";
  const bool hasEnding = chosenName.size() >= ending.size() &&
                         text::EqualsIgnoringCase(chosenName.substr(chosenName.size() - 4), ending);
  return hasEnding ? chosenName : chosenName + ending;
}

namespace {

[[noreturn]] void RaiseCannotCreate(const std::string& path, int error) {
  throw EFileError(EFileError::TAction::kCreate, path, error);
}

[[noreturn]] void RaiseCannotWrite(const std::string& path, int error) {
  throw EFileError(EFileError::TAction::kWrite, path, error);
}

// What killed downloads left in the folder goes before a new one starts.
const std::string& AfterStaleFilesRemoved(const std::string& path) {
  RemoveStaleTemporaryFiles(path);
  return path;
}

}  // namespace

TTrackFile::TTrackFile(std::string path)
    : path_(std::move(path)), file_(AfterStaleFilesRemoved(path_)) {
  if (file_.Handle() < 0) RaiseCannotCreate(path_, errno);
}

void TTrackFile::Receive(TNetHTTP& http, const std::string& link) {
  try {
    TFileStream stream(file_.Handle());
    FetchTrack(http, link, stream);
    stream.Flush();
  } catch (const EStreamWriteError& refused) {
    RaiseCannotWrite(path_, refused.Error());
  }
  // A saved track is on the disk before it takes its name.
  if (!file_.Close(true)) RaiseCannotWrite(path_, errno);
  if (!file_.Commit()) RaiseCannotCreate(path_, errno);
}
