#include "get_command.h"

#include <fstream>

#include "http_client.h"
#include "program_http_settings.h"
#include "streams.h"
#include "text.h"

namespace {

const char kUsage[] = "usage: melodrop-get [-d NAME=VALUE]... [-o FILE] [--events] URL...\n";

struct Options {
  std::vector<std::string> fields;
  std::string outputFile;
  bool events = false;
  std::vector<std::string> urls;
};

bool ParseOptions(const std::vector<std::string>& args, Options& options) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if ((arg == "-d" || arg == "-o") && i + 1 < args.size()) {
      (arg == "-d" ? options.fields.emplace_back() : options.outputFile) = args[++i];
    } else if (arg == "--events") {
      options.events = true;
    } else if (!arg.empty() && arg[0] == '-') {
      return false;
    } else {
      options.urls.push_back(arg);
    }
  }
  return !options.urls.empty() && (options.outputFile.empty() || options.urls.size() == 1);
}

const char* ModeName(TWorkMode mode) {
  return mode == TWorkMode::wmRead ? "read" : "write";
}

void ReportEvents(TNetHTTP& http, std::ostream& err) {
  http.OnWorkBegin = [&err](TNetComponent*, TWorkMode mode, int32_t maximum) {
    err << "begin " << ModeName(mode) << ' ' << maximum << '\n';
  };
  http.OnWork = [&err](TNetComponent*, TWorkMode mode, int32_t count) {
    err << "work " << ModeName(mode) << ' ' << count << '\n';
  };
  http.OnWorkEnd = [&err](TNetComponent*, TWorkMode mode) {
    err << "end " << ModeName(mode) << '\n';
  };
}

void SaveToFile(const TMemoryStream& body, const std::string& path) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(body.Memory(), body.Size());
  if (!file) throw std::runtime_error("Cannot write " + path);
}

}  // namespace

int RunGetCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  Options options;
  if (!ParseOptions(args, options)) {
    err << kUsage;
    return 2;
  }
  TNetHTTP http;
  ApplyProgramHTTPSettings(http);
  if (options.events) ReportEvents(http, err);
  // As curl does: a failed URL is reported and the next one still runs.
  int status = 0;
  for (size_t i = 0; i < options.urls.size(); ++i) {
    const std::string& url = options.urls[i];
    try {
      if (i == 0 && !options.fields.empty()) {
        out << http.Post(url, options.fields);
      } else if (!options.outputFile.empty()) {
        TMemoryStream body;
        http.Get(url, body);
        SaveToFile(body, options.outputFile);
      } else {
        out << http.Get(url);
      }
    } catch (const std::exception& e) {
      out.flush();
      // One line, whatever the server sent in its status line.
      err << text::WithVisibleControls(url) << ": " << text::WithVisibleControls(e.what()) << '\n';
      status = 1;
    }
  }
  return status;
}
