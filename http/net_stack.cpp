#include "net_stack.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include "ipv4_address.h"
#include "net_exceptions.h"
#include "sliced_wait.h"
#include "socket_error_texts.h"
#include "socket_list.h"

namespace {

std::mutex gStackLock;
int gComponentCount = 0;
std::unique_ptr<TNetStack> gStack;
TNameLookup gNameLookup;

// A port number beyond 16 bits would name another port once cut to them.
bool IsPort(int port) {
  return port >= 0 && port <= 65535;
}

sockaddr_in SocketAddress(const std::string& ip, int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(ip.empty() ? INADDR_ANY : IPv4ToBytes(ip));
  address.sin_port = htons(static_cast<uint16_t>(port));
  return address;
}

void ReadAddress(const sockaddr_in& address, TNetSocketAddress& result) {
  result.ip = FormatIPv4(ntohl(address.sin_addr.s_addr));
  result.port = ntohs(address.sin_port);
}

int SystemNameLookup(const std::string& host, std::string& ip) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const int error = getaddrinfo(host.c_str(), nullptr, &hints, &found);
  if (error != 0 || found == nullptr) return socket_errors::FromResolverError(error, errno);
  TNetSocketAddress address;
  ReadAddress(*reinterpret_cast<const sockaddr_in*>(found->ai_addr), address);
  freeaddrinfo(found);
  ip = address.ip;
  return 0;
}

bool EqualsIgnoringCase(const std::string& a, const char* b) {
  return strcasecmp(a.c_str(), b) == 0;
}

}  // namespace

void TNetStack::AddComponent() {
  std::lock_guard<std::mutex> lock(gStackLock);
  if (gComponentCount++ == 0) gStack = std::make_unique<TNetStack>();
}

void TNetStack::RemoveComponent() {
  std::lock_guard<std::mutex> lock(gStackLock);
  if (--gComponentCount == 0) gStack.reset();
}

TNetStack& TNetStack::Instance() {
  return *gStack;
}

bool TNetStack::Exists() {
  std::lock_guard<std::mutex> lock(gStackLock);
  return gStack != nullptr;
}

int TNetStack::Failed() {
  pendingError_ = socket_errors::FromErrno(errno);
  return -1;
}

int TNetStack::CreateSocket() {
  const int handle = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  return handle < 0 ? Failed() : handle;
}

int TNetStack::Bind(int handle, const std::string& ip, int port) {
  if (!IsPort(port)) {
    errno = EADDRNOTAVAIL;
    return Failed();
  }
  const sockaddr_in address = SocketAddress(ip, port);
  if (bind(handle, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    return Failed();
  }
  return 0;
}

int TNetStack::StartConnect(int handle, const std::string& ip, int port) {
  const int flags = fcntl(handle, F_GETFL);
  if (flags < 0 || fcntl(handle, F_SETFL, flags | O_NONBLOCK) != 0) return Failed();
  if (!IsPort(port)) {
    errno = EADDRNOTAVAIL;
    return Failed();
  }
  const sockaddr_in address = SocketAddress(ip, port);
  if (connect(handle, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
    return fcntl(handle, F_SETFL, flags) == 0 ? 0 : Failed();
  }
  return errno == EINPROGRESS || errno == EINTR ? kConnectPending : Failed();
}

int TNetStack::FinishConnect(int handle, int waitMs) {
  pollfd fd{handle, POLLOUT, 0};
  const int ready = poll(&fd, 1, waitMs);
  if (ready == 0 || (ready < 0 && errno == EINTR)) return kConnectPending;
  int error = 0;
  socklen_t length = sizeof error;
  if (ready < 0 || getsockopt(handle, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return Failed();
  if (error != 0) {
    errno = error;
    return Failed();
  }
  const int flags = fcntl(handle, F_GETFL);
  if (flags < 0 || fcntl(handle, F_SETFL, flags & ~O_NONBLOCK) != 0) return Failed();
  return 0;
}

int TNetStack::Receive(int handle, void* buffer, int length) {
  ssize_t result;
  do {
    result = recv(handle, buffer, static_cast<size_t>(length), MSG_DONTWAIT);
  } while (result < 0 && errno == EINTR);
  return result < 0 ? Failed() : static_cast<int>(result);
}

// MSG_NOSIGNAL: a peer that has gone yields EPIPE instead of killing the process.
int TNetStack::Send(int handle, const void* buffer, int length) {
  ssize_t result;
  do {
    result = send(handle, buffer, static_cast<size_t>(length), MSG_NOSIGNAL | MSG_DONTWAIT);
  } while (result < 0 && errno == EINTR);
  return result < 0 ? Failed() : static_cast<int>(result);
}

int TNetStack::SetSocketOption(int handle, int level, int option, int value) {
  return setsockopt(handle, level, option, &value, sizeof value) != 0 ? Failed() : 0;
}

int TNetStack::LocalAddress(int handle, TNetSocketAddress& result) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  if (getsockname(handle, reinterpret_cast<sockaddr*>(&address), &length) != 0) return Failed();
  ReadAddress(address, result);
  return 0;
}

int TNetStack::PeerAddress(int handle, TNetSocketAddress& result) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  if (getpeername(handle, reinterpret_cast<sockaddr*>(&address), &length) != 0) return Failed();
  ReadAddress(address, result);
  return 0;
}

void TNetStack::ShutdownSending(int handle) {
  shutdown(handle, SHUT_WR);
}

void TNetStack::Close(int handle) {
  close(handle);
}

bool TNetStack::Readable(int handle, int timeoutMs) {
  TNetSocketList sockets;
  sockets.Add(handle);
  return sockets.WaitForReadable(timeoutMs) == 1;
}

bool TNetStack::Writable(int handle, int timeoutMs) {
  pollfd fd{handle, POLLOUT, 0};
  int ready;
  do {
    ready = poll(&fd, 1, timeoutMs == kNoTimeLimit ? -1 : timeoutMs);
  } while (ready < 0 && errno == EINTR);
  return ready == 1;
}

void TNetStack::SetNameLookup(TNameLookup lookup) {
  std::lock_guard<std::mutex> lock(gStackLock);
  gNameLookup = std::move(lookup);
}

std::string TNetStack::ResolveHost(const std::string& host, const std::function<void()>& idle) {
  if (EqualsIgnoringCase(host, "LOCALHOST")) return "127.0.0.1";
  if (std::optional<uint32_t> numeric = ParseNumericIPv4(host)) return FormatIPv4(*numeric);
  TNameLookup lookup;
  {
    std::lock_guard<std::mutex> lock(gStackLock);
    lookup = gNameLookup ? gNameLookup : SystemNameLookup;
  }
  // The answer is shared with the thread, which may outlive this wait.
  struct Answer {
    std::mutex mutex;
    std::condition_variable arrived;
    bool done = false;
    int error = 0;
    std::string ip;
  };
  const auto answer = std::make_shared<Answer>();
  std::thread([answer, lookup, host] {
    // The program's signals go to its own threads, which know what to do.
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);
    std::string ip;
    const int error = lookup(host, ip);
    std::lock_guard<std::mutex> lock(answer->mutex);
    answer->error = error;
    answer->ip = ip;
    answer->done = true;
    answer->arrived.notify_all();
  }).detach();
  const auto done = [&](int waitMs) {
    std::unique_lock<std::mutex> lock(answer->mutex);
    const auto isDone = [&] { return answer->done; };
    if (waitMs == kNoTimeLimit) {
      answer->arrived.wait(lock, isDone);
      return true;
    }
    return answer->arrived.wait_for(lock, std::chrono::milliseconds(waitMs), isDone);
  };
  WaitInSlices(done, kNoTimeLimit, idle);
  std::lock_guard<std::mutex> lock(answer->mutex);
  if (answer->error != 0) RaiseSocketError(answer->error);
  return answer->ip;
}

bool TNetStack::WouldBlock() const {
  return pendingError_ == socket_errors::kWouldBlock;
}

bool TNetStack::CheckForSocketError(int result, std::initializer_list<int> tolerated) {
  if (result != -1) return false;
  lastError_ = pendingError_;
  if (std::find(tolerated.begin(), tolerated.end(), lastError_) != tolerated.end()) return true;
  throw ENetSocketError(lastError_);
}

void TNetStack::RaiseSocketError(int code) {
  lastError_ = code;
  throw ENetSocketError(code);
}
