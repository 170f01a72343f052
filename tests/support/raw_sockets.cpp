#include "raw_sockets.h"

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace testing_support {

sockaddr_in LoopbackAddress(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  return address;
}

HeldPort::HeldPort() {
  handle_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address = LoopbackAddress();
  socklen_t length = sizeof address;
  if (handle_ < 0 || bind(handle_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      getsockname(handle_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("cannot hold a port");
  }
  port_ = ntohs(address.sin_port);
}

HeldPort::~HeldPort() {
  close(handle_);
}

int UnusedPort() {
  return HeldPort().Port();
}

FullListener::FullListener() {
  listen(port_.Handle(), 0);
  const sockaddr_in address = LoopbackAddress(port_.Port());
  for (int i = 0; i < 4; ++i) {
    const int filler = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    connect(filler, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    fillers_.push_back(filler);
  }
}

FullListener::~FullListener() {
  for (int filler : fillers_) close(filler);
}

}  // namespace testing_support
