#include "get_command.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "files.h"
#include "http_client.h"
#include "message.h"
#include "program_http_settings.h"
#include "streams.h"
#include "terminal_output.h"

namespace {

const char kUsage[] = "usage: melodrop-get [-d NAME=VALUE]... [-o FILE] [--events] URL...\n";

struct Options {
  std::vector<std::string> fields;
  std::string outputFile;
  bool events = false;
  std::vector<std::string> urls;
};

void ParseOptions(const std::vector<std::string>& args, Options& options) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "-d" || arg == "-o") {
      if (i + 1 == args.size()) throw EUsage(arg + " takes a value");
      // An empty name (an unset variable in a script) would send the track
      // to the standard output and report success.
      if (arg == "-o" && args[i + 1].empty()) throw EUsage("-o takes a file name, not nothing");
      (arg == "-d" ? options.fields.emplace_back() : options.outputFile) = args[++i];
    } else if (arg == "--events") {
      options.events = true;
    } else if (!arg.empty() && arg[0] == '-') {
      throw EUsage("no option " + QuotedArgument(arg));
    } else {
      options.urls.push_back(arg);
    }
  }
  if (options.urls.empty()) throw EUsage("no URL");
  if (!options.outputFile.empty() && options.urls.size() > 1)
    throw EUsage("-o takes one URL, not several");
}

const char* ModeName(TWorkMode mode) {
  return mode == TWorkMode::wmRead ? "read" : "write";
}

void ReportEvents(TNetHTTP& http, std::ostream& err) {
  http.OnWorkBegin = [&err](TNetComponent*, TWorkMode mode, int64_t maximum) {
    err << "begin " << ModeName(mode) << ' ' << maximum << '\n';
  };
  http.OnWork = [&err](TNetComponent*, TWorkMode mode, int64_t count) {
    err << "work " << ModeName(mode) << ' ' << count << '\n';
  };
  http.OnWorkEnd = [&err](TNetComponent*, TWorkMode mode) {
    err << "end " << ModeName(mode) << '\n';
  };
}

// The output refused bytes: no URL after it can be written either.
struct EOutputFailed : std::runtime_error {
  EOutputFailed() : std::runtime_error(kOutputFailed) {}
};

// A body written to an output stream as it arrives; an endless body to a
// full disk ends at the first refused write.
class TOutputStream : public TStream {
 public:
  explicit TOutputStream(std::ostream& out) : out_(out) {}
  int64_t Write(const void* buffer, int64_t count) override {
    if (!out_.write(static_cast<const char*>(buffer), count)) throw EOutputFailed();
    written_ += count;
    return count;
  }
  int64_t Read(void*, int64_t) override { return 0; }
  int64_t Seek(int64_t, TSeekOrigin) override { return written_; }
  int64_t Size() const override { return written_; }
  void SetSize(int64_t) override {}

 private:
  std::ostream& out_;
  int64_t written_ = 0;
};

// As curl does, a body cut before its announced end is a failure.
void Get(TNetHTTP& http, const std::string& url, TStream& body) {
  http.Get(url, body);
  if (http.Response().BodyTruncated) throw std::runtime_error("the body arrived incomplete");
}

// "WHAT PATH: REASON", with errno's reason.
[[noreturn]] void RaiseFileError(const char* what, const std::string& path) {
  throw EMessage(TMessage(what).System(path).Program(": ").System(std::strerror(errno)));
}

// A device or a pipe (/dev/null) takes the body as it comes.
void GetIntoDevice(TNetHTTP& http, const std::string& url, const std::string& path) {
  const int handle = OpenForWritingInPlace(path);
  if (handle < 0) RaiseFileError("Cannot open ", path);
  TFileStream body(handle);
  try {
    Get(http, url, body);
    body.Flush();
  } catch (...) {
    close(handle);
    throw;
  }
  close(handle);
}

// The body goes into a file beside the named one, which takes the name
// once the body is complete: a failed transfer leaves the file as it was.
void GetIntoFile(TNetHTTP& http, const std::string& url, const std::string& path) {
  if (NamesNoRegularFile(path)) return GetIntoDevice(http, url, path);
  RemoveStaleTemporaryFiles(path);
  TReplacingFile file(path);
  if (file.Handle() < 0) RaiseFileError("Cannot create ", path);
  TFileStream body(file.Handle());
  Get(http, url, body);
  body.Flush();
  if (!file.Close(false) || !file.Commit()) RaiseFileError("Cannot write ", path);
}

}  // namespace

int RunGetCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (const std::optional<int> answered = AnswerHelpOrVersion(args, "melodrop-get", kUsage, out))
    return *answered;
  Options options;
  try {
    ParseOptions(args, options);
  } catch (const EUsage& refusal) {
    return RefuseArguments(refusal, "melodrop-get", kUsage, err);
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
        GetIntoFile(http, url, options.outputFile);
      } else {
        TOutputStream body(out);
        Get(http, url, body);
      }
    } catch (const EOutputFailed&) {
      OutputWritten(out, err);
      return 1;
    } catch (const std::exception& e) {
      out.flush();
      // What the server sent stays on its line; the program's own
      // two-line messages keep their break.
      err << TMessage().System(url).Program(": ").Append(MessageOf(e)).Utf8() << '\n';
      status = 1;
    }
  }
  return OutputWritten(out, err) ? status : 1;
}
