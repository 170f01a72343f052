// melodrop-portal --port N [--catalogue FILE | --tracks COUNT]
//                 [--rate BYTES_PER_SECOND] [--chunked] [--redirect-login]
//                 [--page-delay MS]
// Serves the substitute portal on 127.0.0.1 until SIGINT or SIGTERM, with
// one access line per request on standard output.

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "integer_text.h"
#include "portal_server.h"
#include "terminal_output.h"

namespace {

// A whole number from `least` to `most`, or nothing: "--tracks abc" would
// otherwise serve an empty catalogue without a word.
std::optional<int64_t> NumberOption(const char* text, int64_t least, int64_t most) {
  const std::optional<int64_t> number = ParseByteCount(text);
  if (!number || *number < least || *number > most) return std::nullopt;
  return number;
}

const char kUsage[] =
    "usage: melodrop-portal --port N [--catalogue FILE | --tracks COUNT] "
    "[--rate BYTES_PER_SECOND] [--chunked] [--redirect-login] [--page-delay MS]\n";

}  // namespace

int main(int argc, char** argv) {
  if (const std::optional<int> answered = AnswerHelpOrVersion(
          std::vector<std::string>(argv + 1, argv + argc), "melodrop-portal", kUsage, std::cout))
    return *answered;
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
    std::optional<int64_t> number;
    if (arg == "--port" && hasValue) {
      if (!(number = NumberOption(argv[++i], 1, 65535))) {
        std::fprintf(stderr, "melodrop-portal: the port is a number from 1 to 65535\n");
        return 2;
      }
      options.port = static_cast<int>(*number);
    } else if (arg == "--catalogue" && hasValue) {
      catalogueFile = argv[++i];
    } else if (arg == "--tracks" && hasValue && (number = NumberOption(argv[++i], 0, 1000000))) {
      tracks = static_cast<int>(*number);
    } else if (arg == "--rate" && hasValue && (number = NumberOption(argv[++i], 0, INT64_MAX))) {
      options.bytesPerSecond = *number;
    } else if (arg == "--chunked") {
      options.chunked = true;
    } else if (arg == "--redirect-login") {
      options.redirectLogin = true;
    } else if (arg == "--page-delay" && hasValue && (number = NumberOption(argv[++i], 0, 600000))) {
      options.resultPageDelayMs = static_cast<int>(*number);
    } else {
      std::fputs(kUsage, stderr);
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
