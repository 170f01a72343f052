#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "connection_intercept.h"
#include "support/work_event_log.h"
#include "tcp_test_helpers.h"

namespace {

using namespace testing_support;
using Lines = std::vector<std::string>;

// Sees every block handed to a send call.
class SendRecorder : public TNetConnectionIntercept {
 public:
  void Send(TNetSimpleBuffer& block) override {
    blocks.emplace_back(block.Memory(), static_cast<size_t>(block.Size()));
  }
  std::vector<std::string> blocks;
};

TEST(WriteBatch, SendsTheCollectedBytesInPiecesOfTheThresholdOrNothingOnCancel) {
  LoopbackServer server(Script().ReadHead().ReadBytes(10).StaySilent(Milliseconds(300)));
  auto client = ConnectedClientFor(server);
  SendRecorder sends;
  client->Intercept = &sends;
  client->StartWriteBatch();
  client->WriteLine("GET / HTTP/1.1");
  client->WriteLine("");
  EXPECT_TRUE(sends.blocks.empty());
  client->FinishWriteBatch();
  client->StartWriteBatch(4);
  client->WriteText("abcdef");
  client->WriteText("ghij");
  client->FinishWriteBatch();
  client->StartWriteBatch();
  client->WriteLine("never sent");
  client->CancelWriteBatch();
  client->Disconnect();
  EXPECT_EQ(sends.blocks, (Lines{"GET / HTTP/1.1\r\n\r\n", "abcd", "efgh", "ij"}));
  ASSERT_TRUE(server.WaitForFinishedConnections(1));
  EXPECT_EQ(server.Received(), "GET / HTTP/1.1\r\n\r\nabcdefghij");
}

TEST(WriteFromStream, ABodyIsOneWriteTransferThatADisconnectOrAShortStreamFails) {
  LoopbackServer server(Script().ReadBytes(40).StaySilent());
  auto client = ConnectedClientFor(server);
  WorkEventLog log(*client);
  TMemoryStream body;
  const std::string bytes(40, 'b');
  body.Write(bytes.data(), 40);
  client->WriteFromStream(body);
  EXPECT_EQ(log.lines, (Lines{"begin write 40", "work write 40", "end write"}));
  EXPECT_EQ(MessageOf([&] { client->WriteFromStream(body, true, false, 50); }), "No data to read.");
  log.lines.clear();
  log.afterWork = [&](TWorkMode, int) { client->Disconnect(); };
  body.SetSize(100000);
  EXPECT_EQ(MessageOf([&] { client->WriteFromStream(body); }), "Not Connected");
  EXPECT_EQ(log.lines, (Lines{"begin write 100000", "work write 32768", "end write"}));
  ASSERT_TRUE(server.WaitForFinishedConnections(1));
  EXPECT_EQ(server.Received().substr(0, 40), bytes);
}

TEST(WriteBytes, AWriteToAPeerThatHasGoneRaisesASocketError) {
  // The reset follows the client's first byte, so that it never races the connect.
  LoopbackServer server(Script().ReadBytes(1).Reset());
  auto client = ConnectedClientFor(server);
  client->WriteText("x");
  ASSERT_TRUE(server.WaitForFinishedConnections(1));
  const std::string block(65536, 'x');
  int code = 0;
  for (int attempt = 0; attempt < 100 && code == 0; ++attempt) {
    try {
      client->WriteText(block);
    } catch (const ENetSocketError& e) {
      code = e.LastError();
    }
  }
  EXPECT_TRUE(code == 10054 || code == 10058) << code;
  EXPECT_FALSE(client->Connected()) << "the socket was dropped";
}

TEST(WriteBytes, AWriteWithoutConnectionRaisesNotConnected) {
  TNetTCPClient client;
  EXPECT_EQ(MessageOf([&] { client.WriteLine("x"); }), "Not Connected");
}

}  // namespace
