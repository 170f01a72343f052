#include "portal_server.h"

#include <httplib.h>
#include <netinet/tcp.h>

#include <strings.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <stdexcept>

#include "portal_pages.h"
#include "text.h"

namespace {

constexpr char kSessionCookie[] = "Mpop";
constexpr char kPageType[] = "text/html; charset=windows-1251";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Percent-decoding of a query or form value; "+" is a space.
std::string Decoded(const std::string& s) {
  std::string result;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '+') {
      result += ' ';
    } else if (s[i] == '%' && i + 2 < s.size() && HexValue(s[i + 1]) >= 0 &&
               HexValue(s[i + 2]) >= 0) {
      result += static_cast<char>(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2]));
      i += 2;
    } else {
      result += s[i];
    }
  }
  return result;
}

// The decoded value of name in "a=1&b=2", or "".
std::string FieldValue(const std::string& query, const std::string& name) {
  size_t start = 0;
  while (start <= query.size()) {
    const size_t end = std::min(query.find('&', start), query.size());
    const std::string field = query.substr(start, end - start);
    const size_t equals = field.find('=');
    if (field.substr(0, equals) == name) {
      return equals == std::string::npos ? "" : Decoded(field.substr(equals + 1));
    }
    start = end + 1;
  }
  return "";
}

std::string QueryOf(const httplib::Request& req) {
  const size_t question = req.target.find('?');
  return question == std::string::npos ? "" : req.target.substr(question + 1);
}

// Silent MPEG-1 Layer III frames (128 kbit/s, 44.1 kHz, mono): a header and
// zero side information and main data, 417 bytes each.
char Mp3ByteAt(int64_t offset) {
  static const unsigned char kHeader[] = {0xFF, 0xFB, 0x90, 0xC4};
  const int64_t inFrame = offset % 417;
  return inFrame < 4 ? static_cast<char>(kHeader[inFrame]) : '\0';
}

// The pseudo-headers the server library adds to every request.
bool IsAddedByTheLibrary(const std::string& name) {
  return name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" ||
         name == "LOCAL_PORT";
}

PortalRequest Recorded(const httplib::Request& req) {
  PortalRequest request{req.method, req.target, req.version, {}, req.body};
  for (const auto& [name, value] : req.headers) {
    if (!IsAddedByTheLibrary(name)) request.headers.emplace_back(name, value);
  }
  return request;
}

// "2026-12-07 12:45:26 GET /cgi-bin/login 200 512"; "-" for the bytes of a
// chunked body, whose size the head does not tell; a requested range after
// them ("range=bytes=100-").
std::string AccessLine(const httplib::Request& req, const httplib::Response& res) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char time[32];
  std::strftime(time, sizeof time, "%Y-%m-%d %H:%M:%S", &local);
  const std::string bytes = res.is_chunked_content_provider_ ? "-"
                            : res.content_provider_          ? std::to_string(res.content_length_)
                                                             : std::to_string(res.body.size());
  // A request may hold any byte: none reaches the terminal as a control.
  const std::string range =
      req.has_header("Range") ? " range=" + text::WithVisibleControls(req.get_header_value("Range"))
                              : "";
  return std::string(time) + " " + text::WithVisibleControls(req.method) + " " +
         text::WithVisibleControls(req.target) + " " + std::to_string(res.status) + " " + bytes +
         range;
}

}  // namespace

std::string PortalRequest::Header(const std::string& name) const {
  for (const auto& [key, value] : headers) {
    if (strcasecmp(key.c_str(), name.c_str()) == 0) return value;
  }
  return "";
}

PortalServer::PortalServer(PortalOptions options, PortalCatalogue catalogue)
    : options_(std::move(options)),
      catalogue_(std::move(catalogue)),
      server_(std::make_unique<httplib::Server>()) {
  server_->set_keep_alive_max_count(1000);
  // A client that trickles its request or never reads the answer holds its
  // connection a few seconds at most, and many such clients hold no more
  // than their own threads; no request body grows the portal past 1 MiB.
  server_->set_read_timeout(2);
  server_->set_write_timeout(5);
  server_->set_payload_max_length(1 << 20);
  server_->new_task_queue = [] { return new httplib::ThreadPool(64); };
  // SO_REUSEADDR, not the library's SO_REUSEPORT: a portal started again at
  // once gets its port back from the last run's closed connections, but a
  // second portal never shares the port of a running one. The head and the
  // body leave in separate writes: without TCP_NODELAY the body would wait
  // for the client's delayed acknowledgement.
  server_->set_socket_options([](socket_t socket) {
    const int on = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  });
  AddRoutes();
  port_ = options_.port == 0
              ? server_->bind_to_any_port("127.0.0.1")
              : (server_->bind_to_port("127.0.0.1", options_.port) ? options_.port : -1);
  if (port_ <= 0) {
    throw std::runtime_error("portal: cannot listen on 127.0.0.1:" + std::to_string(options_.port));
  }
}

PortalServer::~PortalServer() = default;

void PortalServer::Run() {
  server_->listen_after_bind();
}

void PortalServer::Stop() {
  server_->stop();
}

// A stop before the server runs would be lost, and Run would never return.
void PortalServer::WaitUntilRunning() const {
  for (int i = 0; i < 5000 && !server_->is_running(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

std::vector<PortalRequest> PortalServer::RequestLog() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

std::string PortalServer::NewSession() {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::string token = "s" + std::to_string(nextSession_++) + "x" + std::to_string(port_);
  sessions_.insert(token);
  return token;
}

std::shared_ptr<const std::vector<const PortalTrack*>> PortalServer::Found(
    const std::string& phrase) {
  std::lock_guard lock(mutex_);
  if (!lastFound_ || phrase != lastPhrase_) {
    lastFound_ = std::make_shared<const std::vector<const PortalTrack*>>(catalogue_.Search(phrase));
    lastPhrase_ = phrase;
  }
  return lastFound_;
}

bool PortalServer::HasSession(const std::string& cookieHeader) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::string prefix = std::string(kSessionCookie) + "=";
  size_t at = cookieHeader.find(prefix);
  while (at != std::string::npos) {
    const size_t start = at + prefix.size();
    const std::string token = cookieHeader.substr(start, cookieHeader.find(';', start) - start);
    if (sessions_.count(token)) return true;
    at = cookieHeader.find(prefix, start);
  }
  return false;
}

void PortalServer::AddRoutes() {
  // Recorded before the answer goes out, so that a client sees its request
  // in the log; the body has been read by then.
  const auto record = [this](const httplib::Request& req) {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(Recorded(req));
  };
  const auto recording = [record](httplib::Server::Handler handler) {
    return [record, handler](const httplib::Request& req, httplib::Response& res) {
      record(req);
      handler(req, res);
    };
  };
  const auto get = [&](const std::string& pattern, httplib::Server::Handler handler) {
    server_->Get(pattern, recording(std::move(handler)));
  };
  const auto post = [&](const std::string& pattern, httplib::Server::Handler handler) {
    server_->Post(pattern, recording(std::move(handler)));
  };
  // A request no route takes.
  server_->set_error_handler([record](const httplib::Request& req, httplib::Response& res) {
    if (res.status == 404 && res.body.empty()) record(req);
  });
  if (options_.accessLog) {
    server_->set_logger([this](const httplib::Request& req, const httplib::Response& res) {
      std::lock_guard<std::mutex> lock(mutex_);
      options_.accessLog(AccessLine(req, res));
    });
  }

  const auto login = [this](const httplib::Request& req, httplib::Response& res) {
    const bool accepted = FieldValue(req.body, "Login") == options_.user &&
                          FieldValue(req.body, "Domain") == options_.domain &&
                          FieldValue(req.body, "Password") == options_.password;
    if (!accepted) {
      res.set_content(portal_pages::LoginFailedPage(), kPageType);
      return;
    }
    res.set_header("Set-Cookie", std::string(kSessionCookie) + "=" + NewSession() + "; path=/");
    if (options_.redirectLogin && req.path == "/cgi-bin/auth") {
      res.set_redirect("welcome?from=auth");
    } else {
      res.set_content(portal_pages::LoginDonePage(), kPageType);
    }
  };
  post("/cgi-bin/auth", login);
  post("/cgi-bin/welcome", login);
  get("/cgi-bin/login", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(portal_pages::LoginFormPage(), kPageType);
  });
  get("/cgi-bin/logout", [this](const httplib::Request& req, httplib::Response& res) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      const std::string cookies = req.get_header_value("Cookie");
      for (auto it = sessions_.begin(); it != sessions_.end();) {
        it = cookies.find(*it) != std::string::npos ? sessions_.erase(it) : std::next(it);
      }
    }
    res.set_header("Set-Cookie", std::string(kSessionCookie) +
                                     "=; expires=Thu, 01-Jan-1970 00:00:01 GMT; path=/");
    res.set_content(portal_pages::LoginFormPage(), kPageType);
  });

  get(R"(/mail/([^/]+)/audio)", [this](const httplib::Request& req, httplib::Response& res) {
    if (req.matches[1] != options_.user || !HasSession(req.get_header_value("Cookie"))) {
      res.set_redirect("/cgi-bin/login");
      return;
    }
    const std::string query = QueryOf(req);
    const std::string pageText = FieldValue(query, "page");
    const int page = pageText.empty() ? 1 : std::max(1, std::atoi(pageText.c_str()));
    const std::string origin = "http://" + req.get_header_value("Host");
    if (!pageText.empty() && options_.resultPageDelayMs > 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(options_.resultPageDelayMs));
    res.set_content(portal_pages::ResultPage(*Found(FieldValue(query, "search")), page,
                                             pageText.empty(), origin),
                    kPageType);
  });

  get(R"(/tracks/(\d+)\.mp3)", [this](const httplib::Request& req, httplib::Response& res) {
    const PortalTrack* track = catalogue_.Find(std::atoi(req.matches[1].str().c_str()));
    if (track == nullptr) {
      res.status = 404;
      res.set_content("no such track", "text/plain");
      return;
    }
    // A provider of no bytes would answer without a length and never end.
    if (track->size == 0) {
      res.set_content("", "audio/mpeg");
      return;
    }
    const int64_t size = track->size;
    const int64_t rate = options_.bytesPerSecond;
    const auto provide = [size, rate](size_t offset, httplib::DataSink& sink) {
      const size_t piece = static_cast<size_t>(std::min<int64_t>(
          size - static_cast<int64_t>(offset), rate > 0 ? std::max<int64_t>(rate / 20, 1) : 65536));
      std::string bytes(piece, '\0');
      for (size_t i = 0; i < piece; ++i) bytes[i] = Mp3ByteAt(static_cast<int64_t>(offset + i));
      if (rate > 0) {
        std::this_thread::sleep_for(std::chrono::microseconds(piece * 1000000 / rate));
      }
      return sink.write(bytes.data(), bytes.size());
    };
    if (options_.chunked) {
      res.set_chunked_content_provider("audio/mpeg",
                                       [size, provide](size_t offset, httplib::DataSink& sink) {
                                         if (static_cast<int64_t>(offset) >= size) {
                                           sink.done();
                                           return true;
                                         }
                                         return provide(offset, sink);
                                       });
    } else {
      res.set_content_provider(static_cast<size_t>(size), "audio/mpeg",
                               [provide](size_t offset, size_t, httplib::DataSink& sink) {
                                 return provide(offset, sink);
                               });
    }
  });

  get("/r/my/player3.swf", [](const httplib::Request& req, httplib::Response& res) {
    res.set_content(portal_pages::PlayerPage(FieldValue(QueryOf(req), "file")), kPageType);
  });
}

BackgroundPortal::BackgroundPortal(PortalOptions options, PortalCatalogue catalogue)
    : server_(std::move(options), std::move(catalogue)), thread_([this] { server_.Run(); }) {
  server_.WaitUntilRunning();
}

BackgroundPortal::~BackgroundPortal() {
  server_.Stop();
  thread_.join();
}
