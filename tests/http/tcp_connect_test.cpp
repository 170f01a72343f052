#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include "net_stack.h"
#include "support/raw_sockets.h"
#include "tcp_test_helpers.h"

namespace {

using namespace testing_support;

TEST(TcpConnect, ARefusedConnectionRaises10061AndTheSameClientConnectsAfterwards) {
  TNetTCPClient client;
  client.SetHost("127.0.0.1");
  client.SetPort(UnusedPort());
  try {
    client.Connect();
    FAIL();
  } catch (const ENetSocketError& e) {
    EXPECT_EQ(e.LastError(), 10061);
    EXPECT_STREQ(e.what(), "Socket Error # 10061\r\nConnection refused.");
  }
  EXPECT_NE(client.IOHandler(), nullptr) << "the transport stays attached";
  EXPECT_FALSE(client.Connected());

  LoopbackServer server(Script().Send("hello\r\n"));
  client.SetPort(server.Port());
  client.Connect();
  EXPECT_TRUE(client.Connected());
  EXPECT_EQ(client.ReadLine(), "hello");
}

TEST(TcpConnect, AnUnknownHostRaises11001) {
  TNetTCPClient client;
  client.SetHost("no..such.host.invalid");
  client.SetPort(80);
  try {
    client.Connect();
    FAIL();
  } catch (const ENetSocketError& e) {
    EXPECT_EQ(e.LastError(), 11001);
    EXPECT_STREQ(e.what(), "Socket Error # 11001\r\nHost not found.");
  }
  EXPECT_FALSE(client.Connected());
}

TEST(TcpConnect, ConnectingAnOpenConnectionRaisesAndLeavesItOpen) {
  LoopbackServer server(Script().StaySilent());
  auto client = ConnectedClientFor(server);
  EXPECT_EQ(MessageOf([&] { client->Connect(); }), "Already connected.");
  EXPECT_TRUE(client->Connected());
  EXPECT_TRUE(server.WaitForConnections(1));
  EXPECT_FALSE(server.WaitForConnections(2, Milliseconds(100)));
}

TEST(TcpConnect, ReportsStatusAndConnectionEvents) {
  LoopbackServer server(Script().StaySilent());
  auto client = ClientFor(server);
  client->SetHost("localhost");
  std::vector<std::string> log;
  client->OnStatus = [&](TNetComponent*, TNetStatus, const std::string& text) {
    log.push_back(text);
  };
  client->OnConnected = [&](TNetComponent*) { log.push_back("OnConnected"); };
  client->OnDisconnected = [&](TNetComponent*) { log.push_back("OnDisconnected"); };
  client->Connect();
  client->Disconnect();
  client->Disconnect();  // on a closed connection: no event
  EXPECT_EQ(log, (std::vector<std::string>{"Resolving hostname localhost.",
                                           "Connecting to 127.0.0.1.", "Connected.", "OnConnected",
                                           "Disconnecting.", "OnDisconnected", "Disconnected."}));
  EXPECT_EQ(client->IOHandler(), nullptr) << "the implicit transport is released";
}

TEST(TcpConnect, TheLocalAndPeerAddressesAreReadBack) {
  LoopbackServer server(Script().StaySilent());
  auto client = ConnectedClientFor(server);
  auto* socket = static_cast<TNetIOHandlerSocket*>(client->IOHandler())->Binding();
  EXPECT_EQ(socket->PeerIP(), "127.0.0.1");
  EXPECT_EQ(socket->PeerPort(), server.Port());
  EXPECT_EQ(socket->IP(), "127.0.0.1");
  EXPECT_GT(socket->Port(), 0);
}

TEST(TcpConnect, ATimeLimitedConnectSucceedsOrIsRefused) {
  LoopbackServer server(Script().Send("hi\n"));
  auto client = ClientFor(server);
  client->Connect(2000);
  EXPECT_EQ(client->ReadLine(), "hi");

  TNetTCPClient refused;
  refused.SetHost("127.0.0.1");
  refused.SetPort(UnusedPort());
  EXPECT_EQ(MessageOf([&] { refused.Connect(2000); }),
            "Socket Error # 10061\r\nConnection refused.");
}

TEST(TcpConnect, ATimeLimitedConnectGivesUp) {
  FullListener listener;
  TNetTCPClient client;
  client.SetHost("127.0.0.1");
  client.SetPort(listener.Port());
  try {
    client.Connect(300);
    FAIL();
  } catch (const ENetConnectTimeout& e) {
    EXPECT_STREQ(e.what(), "Connect timed out.");
  }
  EXPECT_FALSE(client.Connected());
}

// Linux alone would try for over two minutes; the system gives up as
// Windows does, also under a caller's limit beyond its own.
TEST(TcpConnect, TheSystemGivesUpAHopelessConnectWith10060) {
  FullListener listener;
  TNetTCPClient client;
  client.SetHost("127.0.0.1");
  client.SetPort(listener.Port());
  TNetStack::Instance().SystemConnectTimeoutMs = 200;
  for (const int timeout : {0, -1, kNoTimeLimit, 5000}) {
    SCOPED_TRACE(timeout);
    try {
      client.Connect(timeout);
      FAIL();
    } catch (const ENetSocketError& e) {
      EXPECT_EQ(e.LastError(), 10060);
      EXPECT_STREQ(e.what(), "Socket Error # 10060\r\nConnection timed out.");
    }
    EXPECT_FALSE(client.Connected());
  }
}

}  // namespace
