#include "cli_command.h"

#include <optional>

#include "catalogue_search.h"
#include "cp1251.h"
#include "integer_text.h"
#include "message.h"
#include "portal_session.h"
#include "program_http_settings.h"
#include "program_settings.h"
#include "streams.h"
#include "terminal_view.h"
#include "track_download.h"

namespace {

const char kUsage[] =
    "usage: melodrop-cli [--port N] search PHRASE\n"
    "       melodrop-cli [--port N] get PHRASE ROW FILE\n"
    "       melodrop-cli setting FILE KEY VALUE\n";

struct Options {
  int port = 80;
  std::string command;
  std::string phrase;
  int row = 0;
  std::string file;
  std::string key;
  std::string value;
};

bool ParseOptions(std::vector<std::string> args, Options& options) {
  if (args.size() >= 2 && args[0] == "--port") {
    const std::optional<int32_t> port = ParseInteger(args[1]);
    if (!port) return false;
    options.port = *port;
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.size() == 2 && args[0] == "search") {
    options.command = args[0];
    options.phrase = args[1];
    return true;
  }
  if (args.size() == 4 && args[0] == "setting") {
    options.command = args[0];
    options.file = args[1];
    options.key = args[2];
    options.value = args[3];
    return true;
  }
  if (args.size() == 4 && args[0] == "get") {
    options.command = args[0];
    options.phrase = args[1];
    options.row = ParseInteger(args[2]).value_or(0);
    options.file = args[3];
    return options.row >= 1;
  }
  return false;
}

// One progress line for one download, on err: a bar while the length is
// known, else the bytes so far. The bodies of other requests draw nothing.
class DownloadProgress {
 public:
  DownloadProgress(TNetHTTP& http, std::ostream& err) : http_(http), err_(err) {
    // A chunked body opens one transfer per chunk: the count goes on across them.
    http_.OnWorkBegin = [this](TNetComponent*, TWorkMode mode, int64_t) {
      if (mode == TWorkMode::wmRead) base_ = received_;
    };
    http_.OnWork = [this](TNetComponent*, TWorkMode mode, int64_t count) {
      if (mode == TWorkMode::wmRead && http_.ResponseCode() / 100 == 2) Draw(base_ + count);
    };
  }
  DownloadProgress(const DownloadProgress&) = delete;
  DownloadProgress& operator=(const DownloadProgress&) = delete;
  ~DownloadProgress() {
    http_.OnWorkBegin = nullptr;
    http_.OnWork = nullptr;
    if (received_ > 0) err_ << "\n";
  }

 private:
  void Draw(int64_t received) {
    received_ = received;
    const int64_t total = http_.Response().ContentLength;
    err_ << "\r";
    if (total > 0) {
      const int width = 40;
      const int filled = static_cast<int>(received * width / total);
      err_ << "[" << std::string(filled, '#') << std::string(width - filled, ' ') << "] "
           << received * 100 / total << "% " << received << "/" << total;
    } else {
      err_ << received << " bytes";
    }
    err_ << std::flush;
  }

  TNetHTTP& http_;
  std::ostream& err_;
  int64_t received_ = 0;
  int64_t base_ = 0;
};

void Download(TNetHTTP& http, const std::string& link, const std::string& path, std::ostream& err,
              bool progressBar) {
  TTrackFile file(path);
  std::optional<DownloadProgress> progress;
  if (progressBar) progress.emplace(http, err);
  file.Receive(http, link);
}

}  // namespace

int RunCliCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  bool progressBar) {
  Options options;
  if (!ParseOptions(args, options)) {
    err << kUsage;
    return 2;
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
  if (searched && options.command == "get") {
    if (options.row > view.TitleCount() || options.row > view.LinkCount()) {
      err << "no row " << options.row << "\n";
      status = 1;
    } else {
      try {
        Download(http, view.Link(options.row - 1), options.file, err, progressBar);
        out << TMessage("saved ")
                   .Network(view.Title(options.row - 1))
                   .Program(" to ")
                   .System(options.file)
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
  return status;
}
