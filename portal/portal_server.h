#pragma once
// The substitute portal: login and logout, the audio catalogue's result
// pages, the track files and the web player, on 127.0.0.1.

#include <cstdint>
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
  std::string user = "melodrop";
  std::string domain = "portal.local";
  std::string password = "qwertyuiop";
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
  // "METHOD target" of every request so far.
  std::vector<std::string> RequestLog() const;

 private:
  void AddRoutes();
  bool HasSession(const std::string& cookieHeader) const;
  std::string NewSession();

  PortalOptions options_;
  PortalCatalogue catalogue_;
  std::unique_ptr<httplib::Server> server_;
  int port_ = 0;
  mutable std::mutex mutex_;
  std::set<std::string> sessions_;
  int nextSession_ = 1;
  std::vector<std::string> requests_;
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
