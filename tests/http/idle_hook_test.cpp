// The idle hook: what keeps a window running while the client waits.
#include <gtest/gtest.h>

#include <functional>

#include "net_stack.h"
#include "support/raw_sockets.h"
#include "support/work_event_log.h"
#include "tcp_test_helpers.h"

namespace {

using namespace testing_support;

// Every wait runs the hook; a Disconnect from it ends the wait.
TEST(IdleHook, RunsDuringEveryWaitAndADisconnectFromItEndsTheWait) {
  FullListener neverAccepts;
  LoopbackServer silent(Script().StaySilent());
  LoopbackServer neverReads(Script().Pause(Milliseconds(10000)));
  const std::string big(64 << 20, 'x');
  struct Case {
    const char* wait;
    int port;
    int disconnectAtCall;  // 0: never
    std::function<void(TNetTCPClient&)> run;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"connect", neverAccepts.Port(), 3, [](TNetTCPClient& c) { c.Connect(); }, "Not Connected"},
      {"the system's connect limit", neverAccepts.Port(), 0, [](TNetTCPClient& c) { c.Connect(); },
       "Socket Error # 10060\r\nConnection timed out."},
      {"read", silent.Port(), 3,
       [](TNetTCPClient& c) {
         c.Connect();
         c.ReadLine();
       },
       "Not Connected"},
      {"read with a time limit", silent.Port(), 0,
       [](TNetTCPClient& c) {
         c.ReadTimeout = 100;
         c.Connect();
         c.ReadLine();
       },
       "Read Timeout"},
      {"write", neverReads.Port(), 3,
       [&](TNetTCPClient& c) {
         c.Connect();
         c.WriteBytes(big.data(), static_cast<int>(big.size()));
       },
       "Not Connected"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.wait);
    TNetTCPClient client;
    client.SetHost("127.0.0.1");
    client.SetPort(c.port);
    TNetStack::Instance().SystemConnectTimeoutMs = 200;
    int calls = 0;
    client.OnIdle = [&](TNetComponent* sender) {
      EXPECT_EQ(sender, &client);
      if (++calls == c.disconnectAtCall) client.Disconnect();
    };
    EXPECT_EQ(MessageOf([&] { c.run(client); }), c.message);
    EXPECT_GT(calls, 0);
    if (c.disconnectAtCall == 0) continue;
    EXPECT_EQ(calls, c.disconnectAtCall);
    EXPECT_FALSE(client.Connected());
  }
}

// The hook changes no work event, and tells how much of a body has arrived
// between them.
TEST(IdleHook, LeavesTheWorkEventsAsTheyAreAndSeesTheBodyArrive) {
  const std::string head = "HTTP/1.1 200 OK\r\n\r\n";
  for (const bool withHook : {false, true}) {
    SCOPED_TRACE(withHook);
    // The body comes once the head has been read: none of it arrives with it.
    LoopbackServer server(Script().Send(head).ReadBytes(1).SendInPieces(std::string(40000, 'b'),
                                                                        1000, Milliseconds(2)));
    auto client = ConnectedClientFor(server);
    WorkEventLog log(*client);
    std::vector<int32_t> arrived;
    if (withHook)
      client->OnIdle = [&](TNetComponent*) { arrived.push_back(client->ReadWorkReceived()); };
    while (!client->ReadLine().empty()) {
    }
    client->WriteText("!");
    TMemoryStream stream;
    client->ReadToStream(stream, 40000);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"begin read 40000", "work read 32768",
                                                   "work read 40000", "end read"}));
    if (!withHook) continue;
    ASSERT_FALSE(arrived.empty());
    EXPECT_TRUE(std::is_sorted(arrived.begin(), arrived.end()));
    EXPECT_GT(arrived.back(), 0);
    EXPECT_LE(arrived.back(), 40000);
  }
}

}  // namespace
