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

// A whole number from `least` to `most`: "--tracks abc" would otherwise
// serve an empty catalogue without a word.
int64_t NumberOption(const std::string& option, const char* text, int64_t least, int64_t most) {
  const std::optional<int64_t> number = ParseByteCount(text);
  if (!number || *number < least || *number > most)
    throw EUsage(option + " takes a number from " + std::to_string(least) + " to " +
                 std::to_string(most));
  return *number;
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
  try {
    for (int i = 1; i < argc; ++i) {
      const std::string arg = argv[i];
      const bool valued = arg == "--port" || arg == "--catalogue" || arg == "--tracks" ||
                          arg == "--rate" || arg == "--page-delay";
      if (valued && i + 1 == argc) throw EUsage(arg + " takes a value");
      if (arg == "--port") {
        options.port = static_cast<int>(NumberOption(arg, argv[++i], 1, 65535));
      } else if (arg == "--catalogue") {
        catalogueFile = argv[++i];
      } else if (arg == "--tracks") {
        tracks = static_cast<int>(NumberOption(arg, argv[++i], 0, 1000000));
      } else if (arg == "--rate") {
        options.bytesPerSecond = NumberOption(arg, argv[++i], 0, INT64_MAX);
      } else if (arg == "--chunked") {
        options.chunked = true;
      } else if (arg == "--redirect-login") {
        options.redirectLogin = true;
      } else if (arg == "--page-delay") {
        options.resultPageDelayMs = static_cast<int>(NumberOption(arg, argv[++i], 0, 600000));
      } else {
        throw EUsage("no option " + QuotedArgument(arg));
      }
    }
  } catch (const EUsage& refusal) {
    return RefuseArguments(refusal, "melodrop-portal", kUsage, std::cerr);
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
