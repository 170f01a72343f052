#pragma once
// melodrop-cli [--port N] search PHRASE
// melodrop-cli [--port N] get PHRASE ROW FILE
// melodrop-cli [--port N] get PHRASE ROWS FOLDER
// Logs in, searches and prints the captions and message boxes as they come,
// then each title row with its link (title TAB link, UTF-8); "get" also
// downloads the link of row ROW (counting from 1) into FILE, with one
// progress line on err; or, when ROWS is a list ("1,3,5-7", "all") or the
// target an existing folder, each of those rows into FOLDER under its title
// made safe, numbered where the name is taken, with the progress line
// "2 из 5 · 12,3 из 45,6 МБ · ..." on err. Returns the exit status: 0 on success, 1 when the
// login, the search or the download failed, 2 for wrong arguments.

#include <ostream>
#include <string>
#include <vector>

int RunCliCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  bool progressBar);
