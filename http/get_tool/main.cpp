#include <clocale>
#include <iostream>

#include "get_command.h"
#include "temporary_files.h"

int main(int argc, char** argv) {
  // The system's reasons in the user's language and characters, as
  // melodrop-cli gives them; the socket texts stay as scripts read them.
  std::setlocale(LC_MESSAGES, "");
  std::setlocale(LC_CTYPE, "");
  std::ios::sync_with_stdio(false);
  RemoveTemporaryFilesOnSignals();
  return RunGetCommand(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
