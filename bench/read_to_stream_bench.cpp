// Reading a counted body from a loopback server: ReadToStream with an OnWork
// handler against a plain recv loop, into memory and into a discarding sink.
//
//   read_to_stream_bench serve BYTES          prints its port, sends BYTES per connection
//   read_to_stream_bench MODE PORT BYTES      one client run; prints
//                                             "seconds=.. maxrss_kib=.. onwork=.."
// MODE: stream, reference, stream-discard, reference-discard.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "streams.h"
#include "tcp_client.h"

namespace {

constexpr int kBlock = 32768;

// A stream that counts what is written and keeps nothing.
class TDiscardStream : public TStream {
 public:
  int64_t Read(void*, int64_t) override { return 0; }
  int64_t Write(const void*, int64_t count) override {
    position_ += count;
    return count;
  }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    position_ = (origin == TSeekOrigin::soBeginning ? 0 : position_) + offset;
    return position_;
  }
  int64_t Size() const override { return position_; }
  void SetSize(int64_t) override {}

 private:
  int64_t position_ = 0;
};

void Serve(int64_t bytes) {
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      listen(listener, 8) != 0 ||
      getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("cannot listen");
  }
  std::printf("%d\n", ntohs(address.sin_port));
  std::fflush(stdout);
  std::vector<char> pattern(1 << 20);
  for (size_t i = 0; i < pattern.size(); ++i) pattern[i] = static_cast<char>(i * 131);
  for (;;) {
    const int client = accept(listener, nullptr, nullptr);
    if (client < 0) continue;
    for (int64_t sent = 0; sent < bytes;) {
      const size_t piece = static_cast<size_t>(std::min<int64_t>(pattern.size(), bytes - sent));
      const ssize_t n = send(client, pattern.data(), piece, MSG_NOSIGNAL);
      if (n <= 0) break;
      sent += n;
    }
    close(client);
  }
}

int ConnectRaw(int port) {
  const int handle = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  if (connect(handle, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    throw std::runtime_error("cannot connect");
  }
  return handle;
}

// The reference: recv in 32 KiB blocks into a buffer grown by doubling.
int64_t ReferenceLoop(int port, int64_t bytes, bool discard) {
  const int handle = ConnectRaw(port);
  char* buffer = static_cast<char*>(std::malloc(kBlock));
  int64_t capacity = kBlock;
  int64_t size = 0;
  for (;;) {
    if (!discard && size + kBlock > capacity) {
      capacity *= 2;
      buffer = static_cast<char*>(std::realloc(buffer, static_cast<size_t>(capacity)));
    }
    const ssize_t n = recv(handle, buffer + (discard ? 0 : size), kBlock, 0);
    if (n <= 0) break;
    size += n;
  }
  close(handle);
  std::free(buffer);
  if (size != bytes) throw std::runtime_error("short body");
  return 0;
}

int64_t ReadToStreamRun(int port, int64_t bytes, bool discard) {
  TNetTCPClient client;
  client.SetHost("127.0.0.1");
  client.SetPort(port);
  int64_t events = 0;
  client.OnWork = [&](TNetComponent*, TWorkMode, int64_t) { ++events; };
  client.Connect();
  TMemoryStream memory;
  TDiscardStream sink;
  TStream& stream = discard ? static_cast<TStream&>(sink) : memory;
  client.ReadToStream(stream, static_cast<int>(bytes));
  if (stream.Size() != bytes) throw std::runtime_error("short body");
  return events;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "serve") == 0) {
    Serve(std::atoll(argv[2]));
    return 0;
  }
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s serve BYTES | MODE PORT BYTES\n", argv[0]);
    return 2;
  }
  const std::string mode = argv[1];
  const int port = std::atoi(argv[2]);
  const int64_t bytes = std::atoll(argv[3]);
  const auto start = std::chrono::steady_clock::now();
  int64_t events;
  if (mode == "stream" || mode == "stream-discard") {
    events = ReadToStreamRun(port, bytes, mode == "stream-discard");
  } else {
    events = ReferenceLoop(port, bytes, mode == "reference-discard");
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("seconds=%.4f maxrss_kib=%ld onwork=%lld\n", seconds, usage.ru_maxrss,
              static_cast<long long>(events));
  return 0;
}
