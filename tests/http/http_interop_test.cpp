// The client against an independent HTTP server.

#include <gtest/gtest.h>
#include <httplib.h>

#include <thread>

#include "http_test_helpers.h"

namespace {

using namespace testing_support;

class IndependentServer {
 public:
  IndependentServer() {
    server_.Get("/plain", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("hello from an independent server", "text/plain");
    });
    server_.Get("/chunked", [](const httplib::Request&, httplib::Response& res) {
      res.set_chunked_content_provider("text/plain", [](size_t offset, httplib::DataSink& sink) {
        static const char* const kPieces[] = {"first,", "second,", "third"};
        if (offset == 0) {
          for (const char* piece : kPieces) sink.write(piece, std::strlen(piece));
        }
        sink.done();
        return true;
      });
    });
    server_.Get(R"(/hop/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
      const int left = std::stoi(req.matches[1]);
      res.set_redirect(left == 0 ? "/plain" : "/hop/" + std::to_string(left - 1));
    });
    server_.set_keep_alive_max_count(100);
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    for (int i = 0; i < 500 && !server_.is_running(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }
  ~IndependentServer() {
    server_.stop();
    thread_.join();
  }
  std::string URL(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }

 private:
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

int LocalPort(TNetHTTP& http) {
  return static_cast<TNetIOHandlerSocket*>(http.IOHandler())->Binding()->Port();
}

TEST(HttpInterop, PlainChunkedKeepAliveAndARedirectChain) {
  IndependentServer server;
  auto http = ProgramClient();
  http->ReadTimeout = 10000;
  EXPECT_EQ(http->Get(server.URL("/plain")), "hello from an independent server");
  const int port = LocalPort(*http);
  EXPECT_EQ(http->Get(server.URL("/chunked")), "first,second,third");
  EXPECT_EQ(http->Get(server.URL("/hop/5")), "hello from an independent server");
  EXPECT_EQ(LocalPort(*http), port) << "one connection throughout";
}

}  // namespace
