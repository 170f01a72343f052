#include "track_download.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <stdexcept>

#include "files.h"
#include "service_texts.h"
#include "text.h"

void FetchTrack(TNetHTTP& http, const std::string& link, TMemoryStream& buffer) {
  const int64_t start = buffer.Position();
  http.Get(link, buffer);
  const TNetHTTPResponse& response = http.Response();
  if (!response.BodyTruncated) return;
  const int64_t received = buffer.Position() - start;
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

// Writes the bytes in pieces, pushing each to the disk while the next is
// written, so that the final flush is short and the caller can let its
// windows run between pieces.
bool WriteInPieces(int handle, std::string_view bytes, const std::function<void()>& betweenPieces) {
  constexpr size_t kPiece = 4 << 20;
  for (size_t done = 0; done < bytes.size(); done += kPiece) {
    const size_t piece = std::min(kPiece, bytes.size() - done);
    if (!WriteAll(handle, bytes.substr(done, piece))) return false;
    sync_file_range(handle, static_cast<off_t>(done), static_cast<off_t>(piece),
                    SYNC_FILE_RANGE_WRITE);
    if (done >= kPiece) {
      sync_file_range(
          handle, static_cast<off_t>(done - kPiece), kPiece,
          SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
    }
    if (betweenPieces) betweenPieces();
  }
  return fsync(handle) == 0;
}

// The message of a file that cannot be made: "Cannot create file "<full
// path>". <system's reason>".
[[noreturn]] void RaiseCannotCreate(const std::string& path, int error) {
  throw std::runtime_error("Cannot create file \"" + FullPath(path) + "\". " +
                           std::strerror(error));
}

}  // namespace

void CheckTrackCanBeSaved(const std::string& path) {
  std::string temporary;
  const int handle = CreateTemporaryBeside(path, 0666, temporary);
  if (handle < 0) RaiseCannotCreate(path, errno);
  close(handle);
  unlink(temporary.c_str());
}

void SaveTrack(const TMemoryStream& buffer, const std::string& path,
               const std::function<void()>& betweenPieces) {
  const std::string quoted = "\"" + FullPath(path) + "\". ";
  std::string temporary;
  const int handle = CreateTemporaryBeside(path, 0666, temporary);
  if (handle < 0) RaiseCannotCreate(path, errno);
  bool written = WriteInPieces(
      handle, std::string_view(buffer.Memory(), static_cast<size_t>(buffer.Size())), betweenPieces);
  int error = errno;
  if (close(handle) != 0 && written) {
    written = false;
    error = errno;
  }
  if (!written) {
    unlink(temporary.c_str());
    throw std::runtime_error(service_texts::CannotWriteFile(quoted + std::strerror(error)));
  }
  // Only a complete file takes the name, replacing one that had it.
  if (rename(temporary.c_str(), path.c_str()) != 0) {
    error = errno;
    unlink(temporary.c_str());
    RaiseCannotCreate(path, error);
  }
}
