#include "support/loopback_server.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

#include "support/raw_sockets.h"

namespace {

using namespace testing_support;

std::string ReadToEnd(int handle) {
  std::string all;
  char buffer[256];
  ssize_t n;
  while ((n = recv(handle, buffer, sizeof buffer, 0)) > 0) all.append(buffer, n);
  return all;
}

TEST(LoopbackServer, PlaysAScriptPerConnectionAndRecordsWhatItReceived) {
  LoopbackServer server({Script().ReadHead().Send("first"), Script().ReadBytes(3).Send("second")});
  const int a = ConnectToLoopback(server.Port());
  send(a, "GET /\r\n\r\nextra", 14, 0);
  EXPECT_EQ(ReadToEnd(a), "first");
  close(a);
  const int b = ConnectToLoopback(server.Port());
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
  const int handle = ConnectToLoopback(server->Port());
  server.reset();  // returns without waiting for the minute
  close(handle);
}

}  // namespace
