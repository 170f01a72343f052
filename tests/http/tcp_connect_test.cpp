#include <gtest/gtest.h>

#include "net_stack.h"
#include "support/raw_sockets.h"
#include "tcp_test_helpers.h"

namespace {

using namespace testing_support;

const std::string kRefused = "Socket Error # 10061\r\nConnection refused.";

TEST(TcpConnect, FailuresLeaveTheClientReadyToConnectAgain) {
  TNetTCPClient client;
  client.SetHost("no..such.host.invalid");
  EXPECT_EQ(MessageOf<ENetSocketError>([&] { client.Connect(); }),
            "Socket Error # 11001\r\nHost not found.");
  client.SetHost("127.0.0.1");
  client.SetPort(UnusedPort());
  for (const int timeout : {0, 2000}) {
    EXPECT_EQ(MessageOf<ENetSocketError>([&] { client.Connect(timeout); }), kRefused) << timeout;
  }
  EXPECT_NE(client.IOHandler(), nullptr) << "the transport stays attached";
  EXPECT_FALSE(client.Connected());

  LoopbackServer server(Script().Send("hello\r\n").StaySilent());
  client.SetPort(server.Port());
  client.Connect(2000);
  EXPECT_EQ(client.ReadLine(), "hello");
  EXPECT_EQ(MessageOf([&] { client.Connect(); }), "Already connected.");
  EXPECT_TRUE(client.Connected());
  EXPECT_FALSE(server.WaitForConnections(2, Milliseconds(100)));

  auto* socket = static_cast<TNetIOHandlerSocket*>(client.IOHandler())->Binding();
  EXPECT_EQ(socket->PeerIP(), "127.0.0.1");
  EXPECT_EQ(socket->PeerPort(), server.Port());
  EXPECT_EQ(socket->IP(), "127.0.0.1");
  EXPECT_GT(socket->Port(), 0);

  // A port beyond 16 bits is no other port cut short.
  client.Disconnect();
  client.SetPort(server.Port() + 65536);
  EXPECT_EQ(MessageOf<ENetSocketError>([&] { client.Connect(); }),
            "Socket Error # 10049\r\nCannot assign requested address.");
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

// A caller's limit gives up as asked. Linux alone would try for over two
// minutes; the system gives up as Windows does, also under a caller's limit
// beyond its own.
TEST(TcpConnect, AHopelessConnectGivesUp) {
  FullListener listener;
  TNetTCPClient client;
  client.SetHost("127.0.0.1");
  client.SetPort(listener.Port());
  EXPECT_EQ(MessageOf<ENetConnectTimeout>([&] { client.Connect(300); }), "Connect timed out.");
  TNetStack::Instance().SystemConnectTimeoutMs = 200;
  for (const int timeout : {0, -1, kNoTimeLimit, 5000}) {
    EXPECT_EQ(MessageOf<ENetSocketError>([&] { client.Connect(timeout); }),
              "Socket Error # 10060\r\nConnection timed out.")
        << timeout;
    EXPECT_FALSE(client.Connected());
  }
}

}  // namespace
