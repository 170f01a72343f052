#pragma once
// melodrop-get [-d NAME=VALUE]... [-o FILE] [--events] URL...
// Runs the URLs in order on one client configured as the program configures
// its own: with -d fields the first URL is a form post; every other URL is a
// GET whose body goes to out as it arrives; with -o (one URL) it goes into
// a file beside FILE that replaces FILE once the body is complete.
// --events writes each work event to err as one line. A URL that fails is
// reported on err as "URL: message" and the run goes on with the next one.
// Returns the exit status: 0, 1 when any URL failed, 2 for usage.

#include <ostream>
#include <string>
#include <vector>

int RunGetCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
