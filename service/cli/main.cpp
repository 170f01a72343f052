#include <unistd.h>

#include <iostream>

#include "cli_command.h"
#include "temporary_files.h"

int main(int argc, char** argv) {
  RemoveTemporaryFilesOnSignals();
  return RunCliCommand(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr,
                       isatty(STDERR_FILENO));
}
