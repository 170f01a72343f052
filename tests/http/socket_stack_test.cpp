#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

#include "net_component.h"
#include "net_exceptions.h"
#include "net_stack.h"
#include "socket_handle.h"
#include "socket_list.h"
#include "support/raw_sockets.h"

namespace {

using testing_support::HeldPort;

TEST(SocketStack, LivesAsLongAsAnyComponent) {
  EXPECT_FALSE(TNetStack::Exists());
  auto first = std::make_unique<TNetComponent>();
  EXPECT_TRUE(TNetStack::Exists());
  auto second = std::make_unique<TNetComponent>();
  first.reset();
  EXPECT_TRUE(TNetStack::Exists());
  second.reset();
  EXPECT_FALSE(TNetStack::Exists());
}

class SocketStackTest : public ::testing::Test {
 protected:
  TNetComponent keepsStackAlive;
  TNetStack& stack = TNetStack::Instance();
};

TEST_F(SocketStackTest, LocalhostInAnyCaseAndNumericFormsNeedNoLookup) {
  EXPECT_EQ(stack.ResolveHost("LOCALHOST"), "127.0.0.1");
  EXPECT_EQ(stack.ResolveHost("LocalHost"), "127.0.0.1");
  EXPECT_EQ(stack.ResolveHost("10.1"), "10.0.0.1");
  EXPECT_EQ(stack.ResolveHost("2130706433"), "127.0.0.1");
}

TEST_F(SocketStackTest, AnUnknownHostIsSocketError11001) {
  // An empty label can never be found; the resolver says so without asking a server.
  try {
    stack.ResolveHost("no..such.host.invalid");
    FAIL();
  } catch (const ENetSocketError& e) {
    EXPECT_EQ(e.LastError(), 11001);
    EXPECT_STREQ(e.what(), "Socket Error # 11001\r\nHost not found.");
  }
  EXPECT_EQ(stack.LastError(), 11001);
}

TEST_F(SocketStackTest, AFailedCallRaisesUnlessItsCodeIsTolerated) {
  const int handle = stack.CreateSocket();
  ASSERT_GE(handle, 0);
  stack.Close(handle);
  const int result = stack.Send(handle, "x", 1);  // a closed descriptor
  EXPECT_TRUE(stack.CheckForSocketError(result, {10009}));
  EXPECT_EQ(stack.LastError(), 10009);
  EXPECT_FALSE(stack.CheckForSocketError(0));
  EXPECT_THROW(stack.CheckForSocketError(stack.Send(handle, "x", 1)), ENetSocketError);
}

TEST_F(SocketStackTest, BindWithPortZeroReadsTheChosenPortBack) {
  TNetSocketHandle handle;
  handle.AllocateSocket();
  handle.SetBinding("127.0.0.1", 0);
  handle.Bind();
  EXPECT_GT(handle.Port(), 0);
  EXPECT_EQ(handle.IP(), "127.0.0.1");
}

TEST_F(SocketStackTest, BindToAPortInUseRaisesCouldNotBind) {
  HeldPort held;
  TNetSocketHandle handle;
  handle.AllocateSocket();
  handle.SetBinding("127.0.0.1", held.Port());
  try {
    handle.Bind();
    FAIL();
  } catch (const ENetCouldNotBindSocket& e) {
    EXPECT_STREQ(e.what(), "Could not bind socket. Address and port are already in use.");
  }
}

TEST_F(SocketStackTest, PortRangeTriesFromTheTopAndFailsWhenAllAreTaken) {
  HeldPort held;
  TNetSocketHandle handle;
  handle.AllocateSocket();
  handle.SetBinding("127.0.0.1", 0);
  handle.SetClientPortRange(held.Port(), held.Port());
  try {
    handle.Bind();
    FAIL();
  } catch (const ENetCanNotBindPortInRange& e) {
    const std::string port = std::to_string(held.Port());
    EXPECT_EQ(e.what(), "Can not bind in port range (" + port + " - " + port + ")");
  }
  int freePort;
  {
    HeldPort released;
    freePort = released.Port();
  }
  handle.SetClientPortRange(freePort - 1, freePort);
  handle.Bind();
  EXPECT_EQ(handle.Port(), freePort);
}

TEST_F(SocketStackTest, AnInvertedPortRangeRaises) {
  TNetSocketHandle handle;
  handle.AllocateSocket();
  handle.SetClientPortRange(5000, 4000);
  try {
    handle.Bind();
    FAIL();
  } catch (const ENetInvalidPortRange& e) {
    EXPECT_STREQ(e.what(), "Invalid Port Range (5000 - 4000)");
  }
}

TEST_F(SocketStackTest, AnInvalidBoundAddressRaises) {
  TNetSocketHandle handle;
  handle.AllocateSocket();
  handle.SetBinding("300.1.1.1", 0);
  EXPECT_THROW(handle.Bind(), ENetInvalidIPAddress);
}

TEST_F(SocketStackTest, ASocketSetHoldsAtMost64Sockets) {
  TNetSocketList sockets;
  for (int i = 0; i < 64; ++i) sockets.Add(i);
  try {
    sockets.Add(64);
    FAIL();
  } catch (const ENetStackSetSizeExceeded& e) {
    EXPECT_STREQ(e.what(), "Set Size Exceeded.");
  }
}

TEST_F(SocketStackTest, AWaitOnAHandleWithoutSocketIsAGracefulClose) {
  TNetSocketHandle handle;
  try {
    handle.Readable(10);
    FAIL();
  } catch (const ENetConnClosedGracefully& e) {
    EXPECT_STREQ(e.what(), "Connection Closed Gracefully.");
  }
}

TEST_F(SocketStackTest, TheReadinessWaitWorksForDescriptorsBeyondFdSetSize) {
  // select() would write past its set here.
  int pair[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
  const int high = fcntl(pair[0], F_DUPFD, 2000);
  if (high < 0) GTEST_SKIP() << "the descriptor limit is below 2000";
  EXPECT_FALSE(stack.Readable(high, 10));
  ASSERT_EQ(write(pair[1], "x", 1), 1);
  EXPECT_TRUE(stack.Readable(high, kNoTimeLimit));
  close(high);
  close(pair[0]);
  close(pair[1]);
}

}  // namespace
