#include "support/loopback_server.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

namespace {

using namespace testing_support;

int ConnectTo(int port) {
  const int handle = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  connect(handle, reinterpret_cast<sockaddr*>(&address), sizeof address);
  return handle;
}

std::string ReadToEnd(int handle) {
  std::string all;
  char buffer[256];
  ssize_t n;
  while ((n = recv(handle, buffer, sizeof buffer, 0)) > 0) all.append(buffer, n);
  return all;
}

TEST(LoopbackServer, PlaysAScriptPerConnectionAndRecordsWhatItReceived) {
  LoopbackServer server({Script().ReadHead().Send("first"), Script().ReadBytes(3).Send("second")});
  const int a = ConnectTo(server.Port());
  send(a, "GET /\r\n\r\nextra", 14, 0);
  EXPECT_EQ(ReadToEnd(a), "first");
  close(a);
  const int b = ConnectTo(server.Port());
  send(b, "xyz", 3, 0);
  EXPECT_EQ(ReadToEnd(b), "second");
  close(b);
  ASSERT_TRUE(server.WaitForFinishedConnections(2));
  EXPECT_EQ(server.Connections(), 2);
  EXPECT_EQ(server.Received(0), "GET /\r\n\r\nextra");
  EXPECT_EQ(server.Received(1), "xyz");
}

TEST(LoopbackServer, StopsASilentConnectionWhenDestroyed) {
  auto server = std::make_unique<LoopbackServer>(Script().StaySilent(Milliseconds(60000)));
  const int handle = ConnectTo(server->Port());
  server.reset();  // returns without waiting for the minute
  close(handle);
}

}  // namespace
