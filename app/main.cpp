// Melodrop Downloader: the desktop program.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

#include "program.h"

namespace {

// --help and --version answer without a window; options Qt takes for itself
// (-platform and the like) are left to it.
void AnswerCommandLine(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("melodrop"));
  QCoreApplication::setApplicationVersion(QStringLiteral(MELODROP_VERSION));
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Melodrop Downloader: searches a music portal and downloads tracks as MP3 files."));
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  parser.parse(QCoreApplication::arguments());
  if (parser.isSet(version)) parser.showVersion();
  if (parser.isSet(help)) parser.showHelp();
}

bool DesktopReachable() {
  const auto set = [](const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
  };
  return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

}  // namespace

int main(int argc, char** argv) {
  AnswerCommandLine(argc, argv);
  if (!DesktopReachable()) {
    std::fprintf(
        stderr,
        "melodrop needs a graphical desktop: neither DISPLAY nor WAYLAND_DISPLAY is set.\n");
    return 1;
  }
  SetUpProcessSignals();
  return RunProgram(argc, argv);
}
