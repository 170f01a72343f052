#include "terminal_output.h"

#include <ostream>

bool OutputWritten(std::ostream& out, std::ostream& err) {
  if (out.flush()) return true;
  err << kOutputFailed << '\n';
  return false;
}

std::optional<int> AnswerHelpOrVersion(const std::vector<std::string>& args, const char* tool,
                                       const char* usage, std::ostream& out) {
  if (args.empty()) return std::nullopt;
  if (args[0] == "--help" || args[0] == "-h") {
    out << usage;
  } else if (args[0] == "--version") {
    out << tool << ' ' << MELODROP_VERSION << '\n';
  } else {
    return std::nullopt;
  }
  return 0;
}
