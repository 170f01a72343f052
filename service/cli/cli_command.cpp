#include "cli_command.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <mutex>
#include <numeric>
#include <optional>
#include <sstream>

#include "catalogue_search.h"
#include "cp1251.h"
#include "download_queue.h"
#include "files.h"
#include "integer_text.h"
#include "message.h"
#include "portal_session.h"
#include "program_http_settings.h"
#include "program_settings.h"
#include "streams.h"
#include "terminal_output.h"
#include "terminal_progress.h"
#include "terminal_view.h"
#include "track_download.h"

namespace {

const char kUsage[] =
    "usage: melodrop-cli [--port N] search PHRASE\n"
    "       melodrop-cli [--port N] get PHRASE ROW FILE\n"
    "       melodrop-cli [--port N] get PHRASE ROWS FOLDER\n"
    "       melodrop-cli setting FILE KEY VALUE\n";

struct Options {
  int port = 80;
  std::string command;
  std::string phrase;
  int row = 0;
  std::string rows;  // "1,3,5-7" or "all", for a folder
  std::string file;
  std::string key;
  std::string value;
};

// The rows a list names ("1,3,5-7", "all"), counting from 1, each once in
// the order named; empty when the list is no such list. Rows past count
// stay in: the caller says there is no such row.
std::vector<int> RowsOf(const std::string& list, int count) {
  if (list == "all") {
    std::vector<int> rows(static_cast<std::size_t>(std::max(count, 0)));
    std::iota(rows.begin(), rows.end(), 1);
    return rows;
  }
  std::vector<int> rows;
  std::vector<bool> named(TCatalogueSearch::kMostRows + 1);
  std::stringstream parts(list);
  for (std::string part; std::getline(parts, part, ',');) {
    const std::size_t dash = part.find('-');
    const std::optional<int64_t> first = ParseByteCount(part.substr(0, dash));
    const std::optional<int64_t> last =
        dash == std::string::npos ? first : ParseByteCount(part.substr(dash + 1));
    if (!first || !last || *first < 1 || *last < *first || *last > TCatalogueSearch::kMostRows)
      return {};
    for (int row = static_cast<int>(*first); row <= *last; ++row) {
      if (!named[row]) rows.push_back(row);
      named[row] = true;
    }
  }
  return rows;
}

void ParseOptions(std::vector<std::string> args, Options& options) {
  if (args.size() >= 2 && args[0] == "--port") {
    const std::optional<int32_t> port = ParseInteger(args[1]);
    if (!port || *port < 1 || *port > 65535) throw EUsage("--port takes a number from 1 to 65535");
    options.port = *port;
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.size() == 2 && args[0] == "search") {
    options.command = args[0];
    options.phrase = args[1];
    return;
  }
  // An empty path would name the working folder, not a file.
  if (args.size() == 4 && args[0] == "setting" && args[1].empty())
    throw EUsage("setting takes a file name, not nothing");
  if (args.size() == 4 && args[0] == "get" && args[3].empty())
    throw EUsage("get takes a file or folder name, not nothing");
  if (args.size() == 4 && args[0] == "setting") {
    options.command = args[0];
    options.file = args[1];
    options.key = args[2];
    options.value = args[3];
    // A line break would start a line, or a section, of its own; an "=" in
    // the key would write a key that reads back as another.
    if (options.key.empty() || options.key.find_first_of("=\r\n") != std::string::npos ||
        options.key.front() == '[' || options.value.find_first_of("\r\n") != std::string::npos)
      throw EUsage(
          "a key may not be empty, begin with \"[\" or hold \"=\"; a key or value may not "
          "hold a line break");
    return;
  }
  if (args.size() == 4 && args[0] == "get") {
    options.command = args[0];
    options.phrase = args[1];
    options.file = args[3];
    // One row into a file, or rows into a folder under their titles; a
    // path that ends in "/" names a folder, also one still to be made.
    std::error_code error;
    if (std::filesystem::is_directory(options.file, error) || options.file.back() == '/' ||
        args[2].find_first_not_of("0123456789") != std::string::npos) {
      options.rows = args[2];
      if (RowsOf(options.rows, 1).empty())
        throw EUsage(QuotedArgument(args[2]) + " names no rows: rows count from 1 to " +
                     std::to_string(TCatalogueSearch::kMostRows) + ", as in 1,3,5-7, or all");
      return;
    }
    options.row = ParseInteger(args[2]).value_or(0);
    if (options.row < 1) throw EUsage(QuotedArgument(args[2]) + " is no row: rows count from 1");
    return;
  }
  if (!args.empty() && args[0] != "search" && args[0] != "get" && args[0] != "setting")
    throw EUsage("no command " + QuotedArgument(args[0]));
  throw EUsage("");
}

// Returns where the track was saved.
std::string Download(TNetHTTP& http, const std::string& link, const std::string& path,
                     std::ostream& err, bool progressBar) {
  TTrackFile file(path);
  std::optional<TTerminalProgress> progress;
  if (progressBar) progress.emplace(http, err);
  file.Receive(http, link);
  return file.Path();
}

// A batch's folder, made when missing. When it cannot be, one line says so
// before the login, instead of one line per row after the search.
bool FolderReady(const std::string& folder, std::ostream& err) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (!error) return true;
  err << TMessage("Cannot create folder \"")
             .System(folder)
             .Program("\". ")
             .System(error.message())
             .Utf8()
      << "\n";
  return false;
}

// One row's file, whose folder is missing or is no folder: one line says
// so before the login, instead of after the search.
bool FileFolderReady(const std::string& path, std::ostream& err) {
  const std::string folder = path.substr(0, path.rfind('/') + 1);
  struct stat info {};
  const bool found = stat(folder.empty() ? "." : folder.c_str(), &info) == 0;
  if (found && S_ISDIR(info.st_mode)) return true;
  const int error = found ? ENOTDIR : errno;
  err << MessageOf(EFileError(EFileError::TAction::kCreate, path, error)).Utf8() << "\n";
  return false;
}

// Each row's track into the folder under its safe title, one after another
// through the download queue, with the progress line on err.
int DownloadRows(TNetHTTP& http, TTerminalView& view, const Options& options, std::ostream& out,
                 std::ostream& err, bool progressBar) {
  const std::vector<int> rows = RowsOf(options.rows, view.TitleCount());
  for (int row : rows) {
    if (row > view.TitleCount() || row > view.LinkCount()) {
      err << "no row " << row << "\n";
      return 1;
    }
  }
  const int count = static_cast<int>(rows.size());
  bool failed = false;
  std::mutex output;
  TDownloadQueue queue(
      [&](TNetHTTP& client) { ApplyProgramHTTPSettings(client, options.port); },
      http.CookieManager(),
      [&](const TDownloadStatus& status) {
        std::lock_guard lock(output);
        const int position = static_cast<int>(status.id);
        const std::string& title = view.Title(rows[position - 1] - 1);
        if (status.state == TDownloadState::kRunning && progressBar) {
          DrawProgressLine(err,
                           {position, count, status.received, status.total, status.bytesPerSecond});
        } else if (status.state == TDownloadState::kDone) {
          if (progressBar) ClearProgressLine(err);
          out << TMessage("saved ").Network(title).Program(" to ").System(status.savedPath).Utf8()
              << "\n";
        } else if (status.state == TDownloadState::kFailed) {
          if (progressBar) ClearProgressLine(err);
          // Which of the batch failed, then why.
          err << TMessage().Network(title).Program(": ").Append(status.failure).Utf8() << "\n";
          failed = true;
        }
      });
  for (int row : rows) queue.Add({view.Link(row - 1), view.Title(row - 1), options.file});
  // A batch takes as long as its tracks do.
  while (!queue.WaitUntilIdle(1000)) continue;
  return failed ? 1 : 0;
}

}  // namespace

int RunCliCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  bool progressBar) {
  if (const std::optional<int> answered = AnswerHelpOrVersion(args, "melodrop-cli", kUsage, out))
    return *answered;
  Options options;
  try {
    ParseOptions(args, options);
  } catch (const EUsage& refusal) {
    return RefuseArguments(refusal, "melodrop-cli", kUsage, err);
  }
  if (options.command == "setting") {
    // A key of section MAIN, with the program's own file rules.
    try {
      TIniFile(options.file).WriteString(settings_keys::kSection, options.key, options.value);
      return 0;
    } catch (const std::exception& e) {
      err << MessageOf(e).Utf8() << "\n";
      return 1;
    }
  }
  if (options.command == "get" &&
      !(options.rows.empty() ? FileFolderReady(options.file, err) : FolderReady(options.file, err)))
    return 1;
  TServiceConfig config;
  config.port = options.port;
  TNetHTTP http;
  ApplyProgramHTTPSettings(http, options.port);
  TTerminalView view(out, Utf8ToCp1251(options.phrase));
  TPortalSession session(http, view, config);
  session.Connect();
  if (!session.Connected()) return 1;
  TCatalogueSearch search(http, view, config, &session);
  const bool searched = search.Find();
  view.PrintRows();
  int status = searched ? 0 : 1;
  if (searched && options.command == "get" && !options.rows.empty()) {
    status = DownloadRows(http, view, options, out, err, progressBar);
  } else if (searched && options.command == "get") {
    if (options.row > view.TitleCount() || options.row > view.LinkCount()) {
      err << "no row " << options.row << "\n";
      status = 1;
    } else {
      try {
        const std::string saved =
            Download(http, view.Link(options.row - 1), options.file, err, progressBar);
        out << TMessage("saved ")
                   .Network(view.Title(options.row - 1))
                   .Program(" to ")
                   .System(saved)
                   .Utf8()
            << "\n";
      } catch (const std::exception& e) {
        err << MessageOf(e).Utf8() << "\n";
        status = 1;
      }
    }
  }
  try {
    session.Close();
  } catch (const std::exception& e) {
    err << MessageOf(e).Utf8() << "\n";
    status = 1;
  }
  return OutputWritten(out, err) ? status : 1;
}
