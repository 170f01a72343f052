#include "loopback_server.h"

#include "raw_sockets.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>
#include <string_view>

namespace testing_support {

namespace {

constexpr Milliseconds kSlice(20);
constexpr Milliseconds kStepLimit(5000);  // longest wait for the client in one step

}  // namespace

Script& Script::ReadHead() {
  steps_.push_back({Step::Kind::kReadHead, {}, 0, {}});
  return *this;
}

Script& Script::ReadBytes(size_t count) {
  steps_.push_back({Step::Kind::kReadBytes, {}, count, {}});
  return *this;
}

Script& Script::Send(std::string bytes) {
  steps_.push_back({Step::Kind::kSend, std::move(bytes), 0, {}});
  return *this;
}

Script& Script::SendInPieces(std::string bytes, size_t pieceSize, Milliseconds pause) {
  steps_.push_back({Step::Kind::kSend, std::move(bytes), pieceSize, pause});
  return *this;
}

Script& Script::Pause(Milliseconds pause) {
  steps_.push_back({Step::Kind::kPause, {}, 0, pause});
  return *this;
}

Script& Script::Close() {
  steps_.push_back({Step::Kind::kClose, {}, 0, {}});
  return *this;
}

Script& Script::Reset() {
  steps_.push_back({Step::Kind::kReset, {}, 0, {}});
  return *this;
}

Script& Script::StaySilent(Milliseconds atMost) {
  steps_.push_back({Step::Kind::kStaySilent, {}, 0, atMost});
  return *this;
}

LoopbackServer::LoopbackServer(std::vector<Script> scripts, int port)
    : scripts_(std::move(scripts)) {
  if (scripts_.empty()) scripts_.emplace_back();
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address = LoopbackAddress(port);
  socklen_t length = sizeof address;
  const int reuse = 1;
  setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
  if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      listen(listener_, 16) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    if (listener_ >= 0) close(listener_);
    throw std::runtime_error("loopback server: cannot listen");
  }
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

LoopbackServer::~LoopbackServer() {
  stopping_ = true;
  acceptor_.join();
  for (std::thread& worker : workers_) worker.join();
  close(listener_);
}

std::string LoopbackServer::Received() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string all;
  for (const std::string& bytes : received_) all += bytes;
  return all;
}

std::string LoopbackServer::Received(int connection) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return connection < static_cast<int>(received_.size()) ? received_[connection] : std::string();
}

bool LoopbackServer::WaitForFinishedConnections(int count, Milliseconds atMost) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, atMost, [&] { return finishedCount_ >= count; });
}

bool LoopbackServer::WaitForConnections(int count, Milliseconds atMost) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, atMost, [&] { return connections_ >= count; });
}

void LoopbackServer::AcceptLoop() {
  while (!stopping_) {
    if (!WaitReadable(listener_, kSlice)) continue;
    const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    // Every send leaves at once, so that pieces reach the client as pieces.
    const int noDelay = 1;
    setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
    int index;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      index = static_cast<int>(received_.size());
      received_.emplace_back();
      ++connections_;
    }
    changed_.notify_all();
    workers_.emplace_back([this, client, index] { Serve(client, index); });
  }
}

void LoopbackServer::Serve(int socket, int index) {
  const Script& script = scripts_[std::min<size_t>(index, scripts_.size() - 1)];
  bool open = true;
  for (const Script::Step& step : script.Steps()) {
    if (!open || stopping_) break;
    open = Play(socket, index, step);
  }
  if (open) Drain(socket, index, Milliseconds(1000));
  close(socket);
  std::lock_guard<std::mutex> lock(mutex_);
  ++finishedCount_;
  changed_.notify_all();
}

// Plays one step; false when the connection is over.
bool LoopbackServer::Play(int socket, int index, const Script::Step& step) {
  using Kind = Script::Step::Kind;
  switch (step.kind) {
    case Kind::kReadHead:
      return ReadHead(socket, index);
    case Kind::kReadBytes:
      return ReadBytes(socket, index, step.count);
    case Kind::kSend: {
      const size_t piece = step.count == 0 ? step.bytes.size() : step.count;
      for (size_t at = 0; at < step.bytes.size(); at += piece) {
        if (at > 0 && !Sleep(step.pause)) return false;
        if (!SendAll(socket, step.bytes.substr(at, piece))) return false;
      }
      return true;
    }
    case Kind::kPause:
      return Sleep(step.pause);
    case Kind::kClose:
      Drain(socket, index, Milliseconds(1000));
      return false;
    case Kind::kReset: {
      const linger abortive{1, 0};
      setsockopt(socket, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
      return false;
    }
    case Kind::kStaySilent: {
      const auto end = std::chrono::steady_clock::now() + step.pause;
      while (!stopping_ && std::chrono::steady_clock::now() < end) {
        if (WaitReadable(socket, kSlice) && ReceiveSome(socket, index) <= 0) return false;
      }
      return true;
    }
  }
  return false;
}

bool LoopbackServer::ReadHead(int socket, int index) {
  size_t start;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    start = received_[index].size();
  }
  const auto headEnded = [&] {
    std::lock_guard<std::mutex> lock(mutex_);
    const std::string_view head = std::string_view(received_[index]).substr(start);
    return head.find("\r\n\r\n") != std::string::npos || head.find("\n\n") != std::string::npos;
  };
  // Takes one byte at a time so that nothing after the head is consumed.
  while (!headEnded()) {
    if (!WaitReadable(socket, kStepLimit)) return false;
    char byte;
    if (recv(socket, &byte, 1, 0) != 1) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    received_[index] += byte;
  }
  return true;
}

bool LoopbackServer::ReadBytes(int socket, int index, size_t count) {
  std::vector<char> buffer(count);
  size_t got = 0;
  while (got < count) {
    if (!WaitReadable(socket, kStepLimit)) return false;
    const ssize_t n = recv(socket, buffer.data() + got, count - got, 0);
    if (n <= 0) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    received_[index].append(buffer.data() + got, static_cast<size_t>(n));
    got += static_cast<size_t>(n);
  }
  return true;
}

bool LoopbackServer::SendAll(int socket, const std::string& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    if (stopping_) return false;
    pollfd fd{socket, POLLOUT, 0};
    if (poll(&fd, 1, static_cast<int>(kSlice.count())) <= 0) continue;
    const ssize_t n = send(socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

bool LoopbackServer::Sleep(Milliseconds pause) const {
  const auto end = std::chrono::steady_clock::now() + pause;
  while (!stopping_ && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(Milliseconds(1));
  return !stopping_;
}

bool LoopbackServer::WaitReadable(int socket, Milliseconds atMost) const {
  const auto end = std::chrono::steady_clock::now() + atMost;
  while (!stopping_ && std::chrono::steady_clock::now() < end) {
    pollfd fd{socket, POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(kSlice.count())) > 0) return true;
  }
  return false;
}

int LoopbackServer::ReceiveSome(int socket, int index) {
  char buffer[16384];
  const ssize_t n = recv(socket, buffer, sizeof buffer, 0);
  if (n > 0) {
    std::lock_guard<std::mutex> lock(mutex_);
    received_[index].append(buffer, static_cast<size_t>(n));
  }
  return static_cast<int>(n);
}

// A graceful close: the client sees the end of the stream at once, and
// bytes it still sends are recorded instead of turning the close into a reset.
void LoopbackServer::Drain(int socket, int index, Milliseconds atMost) {
  shutdown(socket, SHUT_WR);
  const auto end = std::chrono::steady_clock::now() + atMost;
  while (!stopping_ && std::chrono::steady_clock::now() < end) {
    if (WaitReadable(socket, kSlice) && ReceiveSome(socket, index) <= 0) return;
  }
}

}  // namespace testing_support
