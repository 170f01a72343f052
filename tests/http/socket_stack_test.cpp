#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

#include "net_stack.h"
#include "socket_handle.h"
#include "socket_list.h"
#include "support/raw_sockets.h"
#include "tcp_test_helpers.h"

namespace {

using namespace testing_support;

TEST(SocketStack, LivesAsLongAsAnyComponent) {
  EXPECT_FALSE(TNetStack::Exists());
  auto first = std::make_unique<TNetComponent>();
  auto second = std::make_unique<TNetComponent>();
  first.reset();
  EXPECT_TRUE(TNetStack::Exists());
  second.reset();
  EXPECT_FALSE(TNetStack::Exists());
}

class SocketStackTest : public ::testing::Test {
 protected:
  std::unique_ptr<TNetSocketHandle> Bound(const std::string& ip, int port, int low = 0,
                                          int high = 0) {
    auto handle = std::make_unique<TNetSocketHandle>();
    handle->AllocateSocket();
    handle->SetBinding(ip, port);
    if (low != 0 || high != 0) handle->SetClientPortRange(low, high);
    handle->Bind();
    return handle;
  }

  TNetComponent keepsStackAlive;
  TNetStack& stack = TNetStack::Instance();
};

TEST_F(SocketStackTest, ResolvingAndFailedCalls) {
  for (const char* localhost : {"LOCALHOST", "LocalHost", "2130706433"})
    EXPECT_EQ(stack.ResolveHost(localhost), "127.0.0.1");
  EXPECT_EQ(stack.ResolveHost("10.1"), "10.0.0.1");
  // An empty label can never be found; the resolver says so without asking a server.
  EXPECT_EQ(MessageOf<ENetSocketError>([&] { stack.ResolveHost("no..such.host.invalid"); }),
            "Socket Error # 11001\r\nHost not found.");
  EXPECT_EQ(stack.LastError(), 11001);

  const int handle = stack.CreateSocket();
  stack.Close(handle);
  EXPECT_TRUE(stack.CheckForSocketError(stack.Send(handle, "x", 1), {10009})) << "tolerated";
  EXPECT_EQ(stack.LastError(), 10009);
  EXPECT_FALSE(stack.CheckForSocketError(0));
  EXPECT_THROW(stack.CheckForSocketError(stack.Send(handle, "x", 1)), ENetSocketError);
}

TEST_F(SocketStackTest, BindingPortsAndRanges) {
  const auto chosen = Bound("127.0.0.1", 0);
  EXPECT_GT(chosen->Port(), 0) << "port 0 reads the chosen port back";
  EXPECT_EQ(chosen->IP(), "127.0.0.1");

  HeldPort held;
  const std::string port = std::to_string(held.Port());
  EXPECT_EQ(MessageOf<ENetCouldNotBindSocket>([&] { Bound("127.0.0.1", held.Port()); }),
            "Could not bind socket. Address and port are already in use.");
  EXPECT_EQ(MessageOf<ENetCanNotBindPortInRange>(
                [&] { Bound("127.0.0.1", 0, held.Port(), held.Port()); }),
            "Can not bind in port range (" + port + " - " + port + ")");
  EXPECT_EQ(MessageOf<ENetInvalidPortRange>([&] { Bound("127.0.0.1", 0, 5000, 4000); }),
            "Invalid Port Range (5000 - 4000)");
  EXPECT_THROW(Bound("300.1.1.1", 0), ENetInvalidIPAddress);
  int freePort;
  {
    HeldPort released;
    freePort = released.Port();
  }
  EXPECT_EQ(Bound("127.0.0.1", 0, freePort - 1, freePort)->Port(), freePort) << "from the top";
}

TEST_F(SocketStackTest, Waits) {
  TNetSocketList sockets;
  for (int i = 0; i < 64; ++i) sockets.Add(i);
  EXPECT_EQ(MessageOf<ENetStackSetSizeExceeded>([&] { sockets.Add(64); }), "Set Size Exceeded.");
  TNetSocketHandle none;
  EXPECT_EQ(MessageOf<ENetConnClosedGracefully>([&] { none.Readable(10); }),
            "Connection Closed Gracefully.");

  // Descriptors beyond FD_SETSIZE: select() would write past its set.
  int pair[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
  const int high = fcntl(pair[0], F_DUPFD, 2000);
  if (high >= 0) {
    EXPECT_FALSE(stack.Readable(high, 10));
    ASSERT_EQ(write(pair[1], "x", 1), 1);
    EXPECT_TRUE(stack.Readable(high, kNoTimeLimit));
    close(high);
  }
  close(pair[0]);
  close(pair[1]);
}

}  // namespace
