#pragma once
// Open requests: a path or URL handed to the desktop's default handler
// (browser, media player, file manager). Failures are not reported.

#include <string>

class TOpenRequests {
 public:
  virtual ~TOpenRequests() = default;
  // A URL ("http://...") or a local path in the file system's encoding.
  virtual void Open(const std::string& pathOrURL) = 0;
};

// Through QDesktopServices.
class TDesktopOpenRequests : public TOpenRequests {
 public:
  void Open(const std::string& pathOrURL) override;
};
