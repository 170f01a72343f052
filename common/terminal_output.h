#pragma once
// Habits every terminal tool shares: what it wrote to its output must have
// arrived there (a full disk or a closed file behind standard output fails
// the run, as curl does), and --help and --version are answered alike.

#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// Said on standard error when the output refused bytes.
inline constexpr char kOutputFailed[] = "Cannot write the output.";

// Flushes out; when it took less than all it was given, says so on err.
bool OutputWritten(std::ostream& out, std::ostream& err);

// "--help" or "-h" as the first argument prints the usage, "--version" the
// tool's name and version, on out; either ends the run with status 0.
std::optional<int> AnswerHelpOrVersion(const std::vector<std::string>& args, const char* tool,
                                       const char* usage, std::ostream& out);

// Arguments the tool cannot take. what() says which and why, or is empty
// when the usage says it all.
struct EUsage : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// "TOOL: why" when there is a why, then the usage, on err; returns the
// status of wrong arguments (2).
int RefuseArguments(const EUsage& refusal, const char* tool, const char* usage, std::ostream& err);

// An argument as a refusal quotes it: its control bytes escaped.
std::string QuotedArgument(const std::string& argument);
