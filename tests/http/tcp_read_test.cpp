#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "connection_intercept.h"
#include "tcp_test_helpers.h"

namespace {

using namespace testing_support;

struct LineCase {
  std::string sent;
  std::string line;
  std::string next;
};

TEST(ReadLine, EndsAtLFAndDropsACRBeforeIt) {
  const LineCase cases[] = {{"abc\r\nnext\r\n", "abc", "next"},
                            {"abc\nnext\n", "abc", "next"},
                            {"\r\nnext\n", "", "next"},
                            {"a\rb\nnext\n", "a\rb", "next"},
                            {"abc\r\r\nnext\n", "abc\r", "next"}};
  for (const LineCase& c : cases) {
    LoopbackServer server(Script().Send(c.sent).StaySilent());
    auto client = ConnectedClientFor(server);
    EXPECT_EQ(client->ReadLine(), c.line);
    EXPECT_EQ(client->ReadLine(), c.next);
  }
}

TEST(ReadLine, ALoneCREndsNoLineAndTheWaitTimesOut) {
  LoopbackServer server(Script().Send("abc\r").StaySilent());
  auto client = ConnectedClientFor(server);
  client->ReadTimeout = 200;
  EXPECT_EQ(MessageOf([&] { client->ReadLine(); }), "Read Timeout");
  EXPECT_TRUE(client->Connected()) << "a time-out leaves the connection open";
  EXPECT_EQ(client->InputBuffer().Size(), 4) << "and the bytes buffered";
}

TEST(ReadLine, AnExplicitTimeoutReturnsAnEmptyTimedOutLine) {
  LoopbackServer server(Script().StaySilent());
  auto client = ConnectedClientFor(server);
  EXPECT_EQ(client->ReadLine("\n", 100), "");
  EXPECT_TRUE(client->ReadLnTimedOut());
}

class MaxLineLength : public ::testing::Test {
 protected:
  std::string ReadLineAfterSending(const std::string& bytes) {
    server_ = std::make_unique<LoopbackServer>(Script().Send(bytes).StaySilent());
    client_ = ConnectedClientFor(*server_);
    client_->ReadTimeout = 2000;
    return MessageOf([&] { line_ = client_->ReadLine(); });
  }

  std::unique_ptr<LoopbackServer> server_;
  std::unique_ptr<TNetTCPClient> client_;
  std::string line_;
};

TEST_F(MaxLineLength, A16384ByteLineIsAccepted) {
  EXPECT_EQ(ReadLineAfterSending(std::string(16384, 'x') + "\n"), "");
  EXPECT_EQ(line_.size(), 16384u);
}

TEST_F(MaxLineLength, A16385ByteLineIsRejected) {
  EXPECT_EQ(ReadLineAfterSending(std::string(16385, 'x') + "\n"), "Max line length exceeded.");
}

TEST_F(MaxLineLength, TheCRCountsTowardsTheLimit) {
  EXPECT_EQ(ReadLineAfterSending(std::string(16384, 'x') + "\r\n"), "Max line length exceeded.");
}

TEST_F(MaxLineLength, MoreBufferedBytesThanTheLimitWithoutLFAreRejectedAtOnce) {
  EXPECT_EQ(ReadLineAfterSending(std::string(20000, 'x')), "Max line length exceeded.");
}

TEST(ReadLine, SplitActionReturnsTheFirstMaximumBytes) {
  LoopbackServer server(Script().Send("abcdefgh\n").StaySilent());
  auto client = ConnectedClientFor(server);
  client->MaxLineAction = TNetMaxLineAction::maSplit;
  EXPECT_EQ(client->ReadLine("\n", -1, 5), "abcde");
  EXPECT_TRUE(client->ReadLnSplit());
  EXPECT_EQ(client->ReadLine(), "fgh");
  EXPECT_FALSE(client->ReadLnSplit());
}

TEST(ReadLine, BytesReceivedBeforeThePeerClosedCanStillBeRead) {
  LoopbackServer server(Script().Send("one\ntwo\npartial"));
  auto client = ConnectedClientFor(server);
  EXPECT_EQ(client->ReadLine(), "one");
  EXPECT_EQ(client->ReadLine(), "two");
  EXPECT_EQ(MessageOf([&] { client->ReadLine(); }), "Connection Closed Gracefully.");
  EXPECT_FALSE(client->Connected());
}

TEST(ReadExact, APeerCloseRaisesEvenWithBytesBuffered) {
  LoopbackServer server(Script().Send("12345"));
  auto client = ConnectedClientFor(server);
  char bytes[10];
  EXPECT_EQ(MessageOf([&] { client->ReadExact(bytes, 10); }), "Connection Closed Gracefully.");
  EXPECT_EQ(client->InputBuffer().Size(), 5);
  client->ReadExact(bytes, 5);
  EXPECT_EQ(std::string(bytes, 5), "12345");
}

TEST(ReadAfterDisconnect, RaisesNotConnected) {
  LoopbackServer server(Script().StaySilent());
  auto client = ConnectedClientFor(server);
  client->Disconnect();
  EXPECT_EQ(MessageOf([&] { client->ReadLine(); }), "Not Connected");
}

TEST(ReadFilter, ASCIIFilterClearsBitSeven) {
  LoopbackServer server(Script().Send("\xC1\xE2\n"));
  auto client = ConnectedClientFor(server);
  client->ASCIIFilter = true;
  EXPECT_EQ(client->ReadLine(), "Ab");
}

TEST(ReadToStream, ACountBelowZeroIsReadAsA4ByteLengthFirst) {
  LoopbackServer server(Script().Send(std::string("\0\0\0\5hello", 9)).StaySilent());
  auto client = ConnectedClientFor(server);
  TMemoryStream stream;
  client->ReadToStream(stream);
  EXPECT_EQ(Contents(stream), "hello");
}

}  // namespace

namespace {

using namespace testing_support;

TEST(PollClosed, NoticesAPeerCloseAndTakesInWhatArrived) {
  LoopbackServer server(Script().Send("last words\n"));
  auto client = ConnectedClientFor(server);
  int disconnects = 0;
  client->OnDisconnected = [&](TNetComponent*) { ++disconnects; };
  for (int polls = 0; polls < 2000 && client->Connected(); ++polls) {
    client->PollClosed(false);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_FALSE(client->Connected());
  client->PollClosed(false);
  EXPECT_EQ(disconnects, 1);
  EXPECT_EQ(client->ReadLine(), "last words") << "buffered bytes stay readable";
}

TEST(PollClosed, ReturnsAtOnceOnASilentPeer) {
  LoopbackServer server(Script().StaySilent());
  auto client = ConnectedClientFor(server);
  client->PollClosed(true);
  EXPECT_TRUE(client->Connected());
}

}  // namespace

namespace {

using namespace testing_support;

// Doubles every received byte: the block grows in the intercept.
class Doubler : public TNetConnectionIntercept {
 public:
  void Receive(TNetSimpleBuffer& block) override {
    std::string doubled;
    for (int64_t i = 0; i < block.Size(); ++i) doubled.append(2, block.Memory()[i]);
    block.Clear();
    block.Write(doubled.data(), static_cast<int64_t>(doubled.size()));
  }
  void Connect(TNetComponent*) override { ++connects; }
  void Disconnect() override { ++disconnects; }
  int connects = 0;
  int disconnects = 0;
};

TEST(ReadIntercept, SeesEveryReceivedBlockAndTheConnection) {
  LoopbackServer server(Script().Send("ab\n").StaySilent());
  auto client = ClientFor(server);
  Doubler doubler;
  client->Intercept = &doubler;
  client->Connect();
  EXPECT_EQ(client->ReadLine(), "aabb");
  EXPECT_EQ(client->InputBuffer().Size(), 1) << "the second LF";
  client->Disconnect();
  EXPECT_EQ(doubler.connects, 1);
  EXPECT_EQ(doubler.disconnects, 1);
}

}  // namespace
