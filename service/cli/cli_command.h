#pragma once
// melodrop-cli [--port N] search PHRASE
// melodrop-cli [--port N] get PHRASE ROW FILE
// Logs in, searches and prints the captions and message boxes as they come,
// then each title row with its link (title TAB link, UTF-8); "get" also
// downloads the link of row ROW (counting from 1) into FILE, with one
// progress line on err. Returns the exit status: 0 on success, 1 when the
// login, the search or the download failed, 2 for wrong arguments.

#include <ostream>
#include <string>
#include <vector>

int RunCliCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  bool progressBar);
