#pragma once
// Open requests: a path or URL handed to the desktop's default handler
// (browser, media player, file manager).

#include <string>

class TOpenRequests {
 public:
  virtual ~TOpenRequests() = default;
  // A URL ("http://...") or a local path in the file system's encoding.
  virtual void Open(const std::string& pathOrURL) = 0;
};

// Through xdg-open where the desktop has it, else QDesktopServices. When no
// program takes the request, a box says so.
class TDesktopOpenRequests : public TOpenRequests {
 public:
  void Open(const std::string& pathOrURL) override;
};
