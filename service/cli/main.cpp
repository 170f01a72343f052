#include <unistd.h>

#include <clocale>
#include <iostream>

#include "cli_command.h"
#include "temporary_files.h"

int main(int argc, char** argv) {
  // The system's reasons in the user's language and characters, beside the
  // program's own Russian words; nothing else here follows the locale.
  std::setlocale(LC_MESSAGES, "");
  std::setlocale(LC_CTYPE, "");
  RemoveTemporaryFilesOnSignals();
  return RunCliCommand(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr,
                       isatty(STDERR_FILENO));
}
