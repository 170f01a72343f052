#include "track_download.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <functional>

#include "files.h"
#include "finally.h"
#include "integer_text.h"
#include "service_texts.h"
#include "text.h"

namespace {

// The type as the server named it; a reply that names none is taken as it is.
bool IsWebPage(const std::string& contentType) {
  const std::string type = text::ToLower(text::Trim(contentType.substr(0, contentType.find(';'))));
  return type == "text/html" || type == "application/xhtml+xml";
}

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

bool TTrackPart::IsRestFrom(int64_t from) const {
  return first == from && total >= 0 && last >= first && last + 1 == total;
}

std::optional<TTrackPart> TrackPartOf(const std::string& contentRange) {
  const std::string prefix = "bytes ";
  if (!contentRange.starts_with(prefix)) return std::nullopt;
  const std::string_view range = std::string_view(contentRange).substr(prefix.size());
  const std::size_t dash = range.find('-');
  const std::size_t slash = range.find('/');
  if (dash == std::string::npos || slash == std::string::npos || slash < dash) return std::nullopt;
  const std::optional<int64_t> first = ParseByteCount(range.substr(0, dash));
  const std::optional<int64_t> last = ParseByteCount(range.substr(dash + 1, slash - dash - 1));
  if (!first || !last) return std::nullopt;
  const std::optional<int64_t> total = ParseByteCount(range.substr(slash + 1));
  return TTrackPart{*first, *last, total.value_or(-1)};
}

void FetchTrack(TNetHTTP& http, const std::string& link, TStream& into, int64_t from) {
  const int64_t start = into.Position();
  // A part of the track is never saved for the rest of it, also when the
  // server sends one unasked.
  const TNetHeadersAvailableEvent callers = http.OnHeadersAvailable;
  http.OnHeadersAvailable = [&](TNetComponent* sender, bool& read) {
    if (callers) callers(sender, read);
    const TNetHTTPResponse& response = http.Response();
    if (!read || response.ResponseCode < 200 || response.ResponseCode > 299) return;
    if (IsWebPage(response.RawHeaders.Values("Content-Type")))
      throw ENotATrack(service_texts::kNotATrack);
    if (response.ResponseCode != 206) return;
    const std::optional<TTrackPart> part = TrackPartOf(response.RawHeaders.Values("Content-Range"));
    if (!part || !part->IsRestFrom(from)) throw ETrackIncomplete(service_texts::kTrackPartOnly);
  };
  WithCleanup([&] { http.Get(link, into); }, [&] { http.OnHeadersAvailable = callers; });
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
