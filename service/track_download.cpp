#include "track_download.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <string_view>

#include "files.h"
#include "finally.h"
#include "service_texts.h"
#include "text.h"
#include "track_names.h"

namespace {

// The type as the server named it; a reply that names none is taken as it is.
bool IsWebPage(const std::string& contentType) {
  const std::string type = text::ToLower(text::Trim(contentType.substr(0, contentType.find(';'))));
  return type == "text/html" || type == "application/xhtml+xml";
}

// Whether a Content-Encoding or Transfer-Encoding list names a coding that
// would reach the file undone (gzip, say); chunked framing is read by the
// client.
bool NamesACoding(std::string_view codings) {
  while (!codings.empty()) {
    const size_t comma = std::min(codings.find(','), codings.size());
    const std::string coding = text::ToLower(text::Trim(codings.substr(0, comma)));
    if (!coding.empty() && coding != "chunked" && coding != "identity") return true;
    codings.remove_prefix(std::min(comma + 1, codings.size()));
  }
  return false;
}

[[noreturn]] void RaiseCannotCreate(const std::string& path, int error) {
  throw EFileError(EFileError::TAction::kCreate, path, error);
}

[[noreturn]] void RaiseCannotWrite(const std::string& path, int error) {
  throw EFileError(EFileError::TAction::kWrite, path, error);
}

}  // namespace

bool CarriesRestFrom(const TNetHTTPResponse& response, int64_t from) {
  const int64_t total = response.ContentRangeInstanceLength;
  return response.ContentRangeStart == from && total >= 0 && response.ContentRangeEnd >= from &&
         response.ContentRangeEnd + 1 == total;
}

void FetchTrack(TNetHTTP& http, const std::string& link, TStream& into, int64_t from) {
  const int64_t start = into.Position();
  // A part of the track is never saved for the rest of it, also when the
  // server sends one unasked.
  const TNetHeadersAvailableEvent callers = http.OnHeadersAvailable;
  bool bodyRead = true;
  http.OnHeadersAvailable = [&](TNetComponent* sender, bool& read) {
    if (callers) callers(sender, read);
    bodyRead = read;
    const TNetHTTPResponse& response = http.Response();
    if (!read || response.ResponseCode < 200 || response.ResponseCode > 299) return;
    if (IsWebPage(response.RawHeaders.Values("Content-Type")))
      throw ENotATrack(service_texts::kNotATrack);
    // No coding was asked for; a server may send one all the same.
    if (NamesACoding(response.ContentEncoding) || NamesACoding(response.TransferEncoding))
      throw ENotATrack(service_texts::kTrackEncoded);
    if (response.ResponseCode == 206 && !CarriesRestFrom(response, from))
      throw ETrackIncomplete(service_texts::kTrackPartOnly);
    // A track of no bytes is none: it takes no file's place.
    if (response.ResponseCode == 204 || (response.HasContentLength && response.ContentLength == 0))
      throw ENotATrack(service_texts::kTrackEmpty);
  };
  WithCleanup([&] { http.Get(link, into); }, [&] { http.OnHeadersAvailable = callers; });
  const TNetHTTPResponse& response = http.Response();
  const int64_t received = into.Position() - start;
  if (response.BodyTruncated) {
    if (response.ContentLength > 0) {
      throw ETrackIncomplete(service_texts::TrackIncomplete(received, response.ContentLength));
    }
    throw ETrackIncomplete(service_texts::TrackCutShort(received));
  }
  // A part's range tells its length, also when a close ends its body.
  const int64_t partLength = response.ContentRangeEnd - from + 1;
  if (bodyRead && response.ResponseCode == 206 && received != partLength)
    throw ETrackIncomplete(service_texts::TrackIncomplete(received, partLength));
  if (bodyRead && from == 0 && received == 0) throw ENotATrack(service_texts::kTrackEmpty);
}

std::string SavedTrackPath(const std::string& chosenName) {
  const std::string ending = ".mp3";
  const bool hasEnding = chosenName.size() >= ending.size() &&
                         text::EqualsIgnoringCase(chosenName.substr(chosenName.size() - 4), ending);
  return hasEnding ? chosenName : chosenName + ending;
}

std::unique_ptr<TReplacingFile> NewTrackFile(const std::string& folder, std::string& name) {
  const std::string first = folder + name;
  auto file = std::make_unique<TReplacingFile>(first);
  const int error = file->Handle() >= 0 ? 0 : errno;
  // A name the folder refused (a memory card's characters, a length) gives
  // way to one it may take; the failure told is the first.
  for (int again = error; again != 0;) {
    name = TrackFileNameInstead(name, again);
    if (name.empty()) RaiseCannotCreate(first, error);
    auto instead = std::make_unique<TReplacingFile>(folder + name);
    // Read before the refused file goes.
    again = instead->Handle() >= 0 ? 0 : errno;
    file = std::move(instead);
  }
  return file;
}

std::string CommitWithoutReplacing(TReplacingFile& file, const std::string& folder,
                                   const std::string& name) {
  std::string saved = folder + name;
  for (int number = 2; !file.CommitAsNew(saved); ++number) {
    if (errno != EEXIST) RaiseCannotCreate(saved, errno);
    saved = folder + NumberedTrackFileName(name, number);
  }
  return saved;
}

TTrackFile::TTrackFile(std::string path)
    : path_(std::move(path)), folder_(path_.substr(0, path_.rfind('/') + 1)) {
  name_ = path_.substr(folder_.size());
  if (NamesNoRegularFile(path_)) {
    inPlace_ = OpenForWritingInPlace(path_);
    if (inPlace_ < 0) RaiseCannotCreate(path_, errno);
    return;
  }
  // What the name holds now is what the user agreed to replace.
  struct stat target {};
  const bool taken = stat(path_.c_str(), &target) == 0;
  RemoveStaleTemporaryFiles(path_);
  file_ = NewTrackFile(folder_, name_);
  // Under another name it takes no file's place: the user chose to replace
  // none of that name.
  replaces_ = taken && folder_ + name_ == path_;
  path_ = folder_ + name_;
}

TTrackFile::~TTrackFile() {
  if (inPlace_ >= 0) close(inPlace_);
}

void TTrackFile::Receive(TNetHTTP& http, const std::string& link) {
  try {
    TFileStream stream(file_ ? file_->Handle() : inPlace_);
    FetchTrack(http, link, stream);
    stream.Flush();
  } catch (const EStreamWriteError& refused) {
    RaiseCannotWrite(path_, refused.Error());
  }
  if (!file_) return;
  // A saved track is on the disk before it takes its name.
  if (!file_->Close(true)) RaiseCannotWrite(path_, errno);
  if (!replaces_) {
    path_ = CommitWithoutReplacing(*file_, folder_, name_);
  } else if (!file_->Commit()) {
    RaiseCannotCreate(path_, errno);
  }
}
