#pragma once
// Open requests: a path or URL handed to the desktop's default handler
// (browser, media player, file manager).

#include <QString>
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
  // A token from the desktop for the next request, so that the program it
  // starts or wakes may take the focus (XDG activation on Wayland, startup
  // notification on X11).
  void UseActivationToken(const QString& token) { activationToken_ = token; }

 private:
  QString activationToken_;
};
