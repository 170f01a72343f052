#pragma once
// The substitute portal: login and logout, the audio catalogue's result
// pages, the track files and the web player, on 127.0.0.1.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "catalogue.h"

namespace httplib {
class Server;
}

struct PortalOptions {
  int port = 0;                // 0: an ephemeral port
  int64_t bytesPerSecond = 0;  // 0: track files at full speed
  bool chunked = false;        // track files chunked instead of with a length
  bool redirectLogin = false;  // answer a good login with a redirect
  int resultPageDelayMs = 0;   // each result page after this long (a slow portal)
  std::string user = "melodrop";
  std::string domain = "portal.local";
  std::string password = "qwertyuiop";
  // Told one line per answered request: time, method, target, status, body bytes.
  std::function<void(const std::string& line)> accessLog;
};

// A request as the portal received it.
struct PortalRequest {
  std::string method;
  std::string target;
  std::string version;  // "HTTP/1.1"
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;

  // "METHOD target".
  std::string MethodAndTarget() const { return method + " " + target; }
  // The value of the first header of that name (letter case ignored), or "".
  std::string Header(const std::string& name) const;
};

class PortalServer {
 public:
  PortalServer(PortalOptions options, PortalCatalogue catalogue);
  PortalServer(const PortalServer&) = delete;
  PortalServer& operator=(const PortalServer&) = delete;
  ~PortalServer();

  int Port() const { return port_; }
  // Blocks until Stop.
  void Run();
  void Stop();
  // Waits (at most 5 s) until Run serves requests.
  void WaitUntilRunning() const;

  const PortalCatalogue& Catalogue() const { return catalogue_; }
  // Every request so far, with its head and body.
  std::vector<PortalRequest> RequestLog() const;

 private:
  void AddRoutes();
  bool HasSession(const std::string& cookieHeader) const;
  std::string NewSession();
  // The tracks a phrase finds; the last phrase's are kept, as a search
  // asks for page after page of it.
  std::shared_ptr<const std::vector<const PortalTrack*>> Found(const std::string& phrase);

  PortalOptions options_;
  PortalCatalogue catalogue_;
  std::unique_ptr<httplib::Server> server_;
  int port_ = 0;
  mutable std::mutex mutex_;
  std::set<std::string> sessions_;
  int nextSession_ = 1;
  std::vector<PortalRequest> requests_;
  std::string lastPhrase_;
  std::shared_ptr<const std::vector<const PortalTrack*>> lastFound_;
};

// A portal running on its own thread for the life of the object.
class BackgroundPortal {
 public:
  BackgroundPortal(PortalOptions options, PortalCatalogue catalogue);
  ~BackgroundPortal();
  PortalServer& Server() { return server_; }

 private:
  PortalServer server_;
  std::thread thread_;
};
