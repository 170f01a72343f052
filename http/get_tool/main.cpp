#include <iostream>

#include "get_command.h"
#include "temporary_files.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  RemoveTemporaryFilesOnSignals();
  return RunGetCommand(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
