#include "cli_command.h"

#include <fstream>
#include <memory>

#include "catalogue_search.h"
#include "cp1251.h"
#include "integer_text.h"
#include "portal_session.h"
#include "program_http_settings.h"
#include "streams.h"
#include "terminal_view.h"

namespace {

const char kUsage[] =
    "usage: melodrop-cli [--port N] search PHRASE\n"
    "       melodrop-cli [--port N] get PHRASE ROW FILE\n";

struct Options {
  int port = 80;
  std::string command;
  std::string phrase;
  int row = 0;
  std::string file;
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
  if (args.size() == 4 && args[0] == "get") {
    options.command = args[0];
    options.phrase = args[1];
    options.row = ParseInteger(args[2]).value_or(0);
    options.file = args[3];
    return options.row >= 1;
  }
  return false;
}

void ShowProgress(TNetHTTP& http, std::ostream& err) {
  auto maximum = std::make_shared<int32_t>(0);
  http.OnWorkBegin = [maximum](TNetComponent*, TWorkMode mode, int32_t max) {
    if (mode == TWorkMode::wmRead) *maximum = max;
  };
  http.OnWork = [maximum, &err](TNetComponent*, TWorkMode mode, int32_t count) {
    if (mode != TWorkMode::wmRead || *maximum <= 0) return;
    const int width = 40;
    const int filled = static_cast<int>(int64_t{count} * width / *maximum);
    err << "\r[" << std::string(filled, '#') << std::string(width - filled, ' ') << "] "
        << int64_t{count} * 100 / *maximum << "% " << count << "/" << *maximum << std::flush;
  };
  http.OnWorkEnd = [maximum, &err](TNetComponent*, TWorkMode mode) {
    if (mode == TWorkMode::wmRead && *maximum > 0) err << "\n";
  };
}

void Download(TNetHTTP& http, const std::string& link, const std::string& path) {
  TMemoryStream body;
  http.Get(link, body);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(body.Memory(), body.Size());
  if (!file) throw std::runtime_error("Cannot write " + path);
}

}  // namespace

int RunCliCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  bool progressBar) {
  Options options;
  if (!ParseOptions(args, options)) {
    err << kUsage;
    return 2;
  }
  const TServiceConfig config;
  TNetHTTP http;
  ApplyProgramHTTPSettings(http, options.port);
  TTerminalView view(out, Utf8ToCp1251(options.phrase));
  TPortalSession session(http, view, config);
  session.Connect();
  if (!session.Connected()) return 1;
  TCatalogueSearch search(http, view, config);
  search.Find();
  view.PrintRows();
  int status = 0;
  if (options.command == "get") {
    if (options.row > view.TitleCount() || options.row > view.LinkCount()) {
      err << "no row " << options.row << "\n";
      status = 1;
    } else {
      try {
        if (progressBar) ShowProgress(http, err);
        Download(http, view.Link(options.row - 1), options.file);
        out << "saved " << Cp1251ToUtf8(view.Title(options.row - 1)) << " to " << options.file
            << "\n";
      } catch (const std::exception& e) {
        err << Cp1251ToUtf8(e.what()) << "\n";
        status = 1;
      }
    }
  }
  try {
    session.Close();
  } catch (const std::exception& e) {
    err << Cp1251ToUtf8(e.what()) << "\n";
    status = 1;
  }
  return status;
}
