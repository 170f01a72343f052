#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/work_event_log.h"
#include "tcp_test_helpers.h"

namespace {

using namespace testing_support;
using Lines = std::vector<std::string>;

const std::string kHead = "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n";

std::string Body(size_t size) {
  std::string body(size, '\0');
  for (size_t i = 0; i < size; ++i) body[i] = static_cast<char>('a' + i % 26);
  return body;
}

void ReadHead(TNetTCPClient& client) {
  while (!client.ReadLine().empty()) {
  }
}

TEST(WorkEvents, ACountedBodyPartlyArrivedWithTheHead) {
  const std::string body = Body(100000);
  LoopbackServer server(Script()
                            .Send(kHead + body.substr(0, 1000))
                            .Pause(Milliseconds(100))
                            .Send(body.substr(1000))
                            .StaySilent());
  auto client = ConnectedClientFor(server);
  WorkEventLog log(*client);
  ReadHead(*client);
  TMemoryStream stream;
  client->ReadToStream(stream, 100000);
  EXPECT_EQ(log.lines,
            (Lines{"begin read 100000", "work read 1000", "work read 33768", "work read 66536",
                   "work read 99304", "work read 100000", "end read"}));
  EXPECT_EQ(Contents(stream), body);
}

TEST(WorkEvents, AReadUntilCloseEndsQuietlyWithEveryByte) {
  const std::string body = Body(70000);
  LoopbackServer server(Script().Send(body));
  auto client = ConnectedClientFor(server);
  WorkEventLog log(*client);
  TMemoryStream stream;
  client->ReadToStream(stream, -1, true);
  EXPECT_EQ(log.lines, (Lines{"begin read 0", "work read 32768", "work read 65536",
                              "work read 70000", "end read"}));
  EXPECT_EQ(Contents(stream), body);
}

TEST(WorkEvents, AReadUntilCloseRepeatsTheTotalWhenEverythingWasConsumed) {
  LoopbackServer server(Script().Send(Body(65536)));
  auto client = ConnectedClientFor(server);
  WorkEventLog log(*client);
  TMemoryStream stream;
  client->ReadToStream(stream, -1, true);
  EXPECT_EQ(log.lines, (Lines{"begin read 0", "work read 32768", "work read 65536",
                              "work read 65536", "end read"}));
  EXPECT_EQ(stream.Size(), 65536);
}

TEST(WorkEvents, ACountedBodyCutShortKeepsItsBytesAndRaises) {
  const std::string body = Body(5000);
  LoopbackServer server(Script().Send(body));
  auto client = ConnectedClientFor(server);
  WorkEventLog log(*client);
  TMemoryStream stream;
  EXPECT_EQ(MessageOf([&] { client->ReadToStream(stream, 10000); }),
            "Connection Closed Gracefully.");
  EXPECT_EQ(log.lines.back(), "end read");
  EXPECT_EQ(Contents(stream), body) << "cut to the bytes that arrived";
}

TEST(WorkEvents, ADisconnectFromOnWorkFailsTheReadWithNotConnected) {
  const std::string body = Body(100000);
  LoopbackServer server({Script().SendInPieces(body, 32768, Milliseconds(100)).StaySilent(),
                         Script().Send("again\n")});
  auto client = ConnectedClientFor(server);
  WorkEventLog log(*client);
  log.afterWork = [&](TWorkMode, int) { client->Disconnect(); };
  TMemoryStream stream;
  EXPECT_EQ(MessageOf([&] { client->ReadToStream(stream, 100000); }), "Not Connected");
  EXPECT_EQ(log.lines.front(), "begin read 100000");
  EXPECT_EQ(log.lines.back(), "end read");
  EXPECT_EQ(Contents(stream), body.substr(0, 32768));

  log.afterWork = nullptr;
  client->Connect();  // afresh, with a new transport
  EXPECT_EQ(client->ReadLine(), "again");
}

TEST(WorkEvents, ADisconnectFromOnWorkEndCompletesACountedBody) {
  const std::string body = Body(50000);
  LoopbackServer server(Script().Send(body).StaySilent());
  auto client = ConnectedClientFor(server);
  WorkEventLog log(*client);
  log.afterWorkEnd = [&](TWorkMode) { client->Disconnect(); };
  TMemoryStream stream;
  client->ReadToStream(stream, 50000);
  EXPECT_EQ(Contents(stream), body);
  EXPECT_FALSE(client->Connected());

  // From the last OnWork as well.
  LoopbackServer again(Script().Send(body).StaySilent());
  auto second = ConnectedClientFor(again);
  WorkEventLog secondLog(*second);
  secondLog.afterWork = [&](TWorkMode, int count) {
    if (count == 50000) second->Disconnect();
  };
  TMemoryStream secondStream;
  second->ReadToStream(secondStream, 50000);
  EXPECT_EQ(Contents(secondStream), body);
}

TEST(WorkEvents, ADisconnectWithTheRestBufferedStillReadsTheRest) {
  const std::string body = Body(3000);
  LoopbackServer server(Script().Send(body).StaySilent());
  auto client = ConnectedClientFor(server);
  client->RecvBufferSize = 1000;  // blocks of 1000, all already buffered
  while (client->InputBuffer().Size() < 3000) client->FillInputBuffer(true, 2000, true);
  WorkEventLog log(*client);
  log.afterWork = [&](TWorkMode, int) { client->Disconnect(); };
  TMemoryStream stream;
  client->ReadToStream(stream, 3000);
  EXPECT_EQ(Contents(stream), body);
}

TEST(WorkEvents, ANestedStartWorkFiresNoSecondBeginAndKeepsCounting) {
  TNetComponent component;
  WorkEventLog log(component);
  component.StartWork(TWorkMode::wmRead, 100);
  component.AdvanceWork(TWorkMode::wmRead, 10);
  component.StartWork(TWorkMode::wmRead, 50);
  component.AdvanceWork(TWorkMode::wmRead, 5);
  component.FinishWork(TWorkMode::wmRead);
  component.AdvanceWork(TWorkMode::wmRead, 1);
  component.FinishWork(TWorkMode::wmRead);
  component.AdvanceWork(TWorkMode::wmRead, 1);  // outside a transfer: nothing
  EXPECT_EQ(log.lines,
            (Lines{"begin read 100", "work read 10", "work read 15", "work read 16", "end read"}));
  EXPECT_EQ(component.Work(TWorkMode::wmRead).level, 0);

  // Read and write work are counted apart.
  log.lines.clear();
  component.StartWork(TWorkMode::wmRead, 0);
  component.StartWork(TWorkMode::wmWrite, 7);
  component.AdvanceWork(TWorkMode::wmWrite, 7);
  component.FinishWork(TWorkMode::wmWrite);
  component.FinishWork(TWorkMode::wmRead);
  EXPECT_EQ(log.lines,
            (Lines{"begin read 0", "begin write 7", "work write 7", "end write", "end read"}));
}

}  // namespace
