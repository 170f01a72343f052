#include "terminal_output.h"

#include <ostream>

#include "message.h"

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

int RefuseArguments(const EUsage& refusal, const char* tool, const char* usage, std::ostream& err) {
  if (refusal.what()[0] != '\0') err << tool << ": " << refusal.what() << '\n';
  err << usage;
  return 2;
}

std::string QuotedArgument(const std::string& argument) {
  return "\"" + TMessage().System(argument).Utf8() + "\"";
}
