#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "connection_intercept.h"
#include "tcp_test_helpers.h"

namespace {

using namespace testing_support;

// Lines read one after the other from what a server sent: each the line,
// or "error: " and the message of the read that failed.
struct LineCase {
  const char* name;
  std::string sent;
  bool thenCloses;
  std::function<void(TNetTCPClient&)> configure;
  std::vector<std::string> reads;
};

std::string ReadOne(TNetTCPClient& client) {
  std::string line;
  const std::string failure = MessageOf([&] { line = client.ReadLine(); });
  return failure.empty() ? line : "error: " + failure;
}

TEST(ReadLine, LinesTheirEndsAndTheirLimits) {
  const auto timeout = [](TNetTCPClient& c) { c.ReadTimeout = 200; };
  const std::string max(16384, 'x');
  const LineCase cases[] = {
      {"CR LF", "abc\r\nnext\r\n", false, {}, {"abc", "next"}},
      {"LF", "abc\nnext\n", false, {}, {"abc", "next"}},
      {"empty", "\r\nnext\n", false, {}, {"", "next"}},
      {"CR inside", "a\rb\nnext\n", false, {}, {"a\rb", "next"}},
      {"CR CR LF", "abc\r\r\nnext\n", false, {}, {"abc\r", "next"}},
      {"a lone CR ends no line", "abc\r", false, timeout, {"error: Read Timeout"}},
      {"16384 bytes", max + "\n", false, timeout, {max}},
      {"16385 bytes", max + "x\n", false, timeout, {"error: Max line length exceeded."}},
      {"the CR counts", max + "\r\n", false, timeout, {"error: Max line length exceeded."}},
      {"too long already without LF",
       std::string(20000, 'x'),
       false,
       timeout,
       {"error: Max line length exceeded."}},
      {"bytes before the close",
       "one\ntwo\npartial",
       true,
       {},
       {"one", "two", "error: Connection Closed Gracefully."}},
      {"ASCII filter", "\xC1\xE2\n", false, [](TNetTCPClient& c) { c.ASCIIFilter = true; }, {"Ab"}},
      {"after a Disconnect",
       "x\n",
       false,
       [](TNetTCPClient& c) { c.Disconnect(); },
       {"error: Not Connected"}},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.name);
    Script script = Script().Send(c.sent);
    if (!c.thenCloses) script.StaySilent();
    LoopbackServer server(script);
    auto client = ConnectedClientFor(server);
    if (c.configure) c.configure(*client);
    for (const std::string& expected : c.reads) EXPECT_EQ(ReadOne(*client), expected);
  }
}

TEST(ReadLine, ATimeOrALengthGivenWithTheCallEndsTheLineQuietly) {
  LoopbackServer server(Script().Send("abcdefgh\nabc\r").StaySilent());
  auto client = ConnectedClientFor(server);
  client->MaxLineAction = TNetMaxLineAction::maSplit;
  EXPECT_EQ(client->ReadLine("\n", -1, 5), "abcde");
  EXPECT_TRUE(client->ReadLnSplit());
  EXPECT_EQ(client->ReadLine(), "fgh");
  EXPECT_FALSE(client->ReadLnSplit());
  EXPECT_EQ(client->ReadLine("\n", 100), "");
  EXPECT_TRUE(client->ReadLnTimedOut());
  EXPECT_TRUE(client->Connected()) << "a time-out leaves the connection open";
  EXPECT_EQ(client->InputBuffer().Size(), 4) << "and the bytes buffered";
}

TEST(ReadExact, APeerCloseRaisesEvenWithBytesBufferedAndALengthComesFirst) {
  LoopbackServer server(Script().Send("12345"));
  auto client = ConnectedClientFor(server);
  char bytes[10];
  EXPECT_EQ(MessageOf([&] { client->ReadExact(bytes, 10); }), "Connection Closed Gracefully.");
  EXPECT_EQ(client->InputBuffer().Size(), 5);
  client->ReadExact(bytes, 5);
  EXPECT_EQ(std::string(bytes, 5), "12345");

  // ReadToStream with a count below 0 reads a 4-byte length first.
  LoopbackServer counted(Script().Send(std::string("\0\0\0\5hello", 9)).StaySilent());
  auto reader = ConnectedClientFor(counted);
  TMemoryStream stream;
  reader->ReadToStream(stream);
  EXPECT_EQ(Contents(stream), "hello");
}

TEST(PollClosed, NoticesAPeerCloseAndTakesInWhatArrivedAndNeverWaits) {
  LoopbackServer silent(Script().StaySilent());
  auto waiting = ConnectedClientFor(silent);
  waiting->PollClosed(true);
  EXPECT_TRUE(waiting->Connected());

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
