#include "track_download.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "files.h"

void FetchTrack(TNetHTTP& http, const std::string& link, TMemoryStream& buffer) {
  const int64_t start = buffer.Position();
  http.Get(link, buffer);
  const TNetHTTPResponse& response = http.Response();
  if (!response.BodyTruncated) return;
  const int64_t received = buffer.Position() - start;
  if (response.ContentLength > 0) {
    throw ETrackIncomplete("The track arrived incomplete: " + std::to_string(received) + " of " +
                           std::to_string(response.ContentLength) + " bytes.");
  }
  throw ETrackIncomplete("The track arrived incomplete: the server stopped after " +
                         std::to_string(received) + " bytes.");
}

void SaveTrack(const TMemoryStream& buffer, const std::string& path) {
  const std::string quoted = "\"" + FullPath(path) + "\". ";
  const int handle = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (handle < 0) throw std::runtime_error("Cannot create file " + quoted + std::strerror(errno));
  const bool written =
      WriteAll(handle, std::string_view(buffer.Memory(), static_cast<size_t>(buffer.Size())));
  const int writeError = errno;
  if (close(handle) != 0 || !written) {
    throw std::runtime_error("Cannot write file " + quoted +
                             std::strerror(written ? errno : writeError));
  }
}
