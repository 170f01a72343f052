// melodrop-portal --port N [--catalogue FILE | --tracks COUNT]
//                 [--rate BYTES_PER_SECOND] [--chunked] [--redirect-login]
//                 [--page-delay MS]
// Serves the substitute portal on 127.0.0.1 until SIGINT or SIGTERM, with
// one access line per request on standard output.

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <thread>

#include "integer_text.h"
#include "portal_server.h"

int main(int argc, char** argv) {
  PortalOptions options;
  options.accessLog = [](const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
  };
  std::string catalogueFile;
  int tracks = 3000;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--port" && hasValue) {
      const std::optional<int64_t> port = ParseByteCount(argv[++i]);
      if (!port || *port < 1 || *port > 65535) {
        std::fprintf(stderr, "melodrop-portal: the port is a number from 1 to 65535\n");
        return 2;
      }
      options.port = static_cast<int>(*port);
    } else if (arg == "--catalogue" && hasValue) {
      catalogueFile = argv[++i];
    } else if (arg == "--tracks" && hasValue) {
      tracks = std::atoi(argv[++i]);
    } else if (arg == "--rate" && hasValue) {
      options.bytesPerSecond = std::atoll(argv[++i]);
    } else if (arg == "--chunked") {
      options.chunked = true;
    } else if (arg == "--redirect-login") {
      options.redirectLogin = true;
    } else if (arg == "--page-delay" && hasValue) {
      options.resultPageDelayMs = std::atoi(argv[++i]);
    } else {
      std::fprintf(stderr,
                   "usage: melodrop-portal --port N [--catalogue FILE | --tracks COUNT] "
                   "[--rate BYTES_PER_SECOND] [--chunked] [--redirect-login] "
                   "[--page-delay MS]\n");
      return 2;
    }
  }
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  try {
    PortalServer portal(options, catalogueFile.empty() ? PortalCatalogue::Generated(tracks)
                                                       : PortalCatalogue::FromFile(catalogueFile));
    std::thread server([&] { portal.Run(); });
    portal.WaitUntilRunning();
    std::printf("melodrop-portal on http://127.0.0.1:%d (account %s@%s)\n", portal.Port(),
                options.user.c_str(), options.domain.c_str());
    std::fflush(stdout);
    int signal = 0;
    sigwait(&stopSignals, &signal);
    portal.Stop();
    server.join();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "melodrop-portal: %s\n", e.what());
    return 1;
  }
  return 0;
}
