// A connection is reused only after a response read to its end: whatever a
// call leaves unread would be taken for the next response.

#include <gtest/gtest.h>

#include "http_test_helpers.h"

namespace {

using namespace testing_support;

struct UnfinishedCase {
  const char* name;
  std::string reply;       // what the client reads of, before it stops
  Milliseconds stall;      // then the server waits
  std::string rest;        // and sends the rest of the response
  std::string outcome;     // of the first call: its body, or "error: " and the message
  bool inOneSend = false;  // the reply arrives whole, before the next request
};

const std::string kSecond = Reply("200 OK", "second");

const UnfinishedCase kCases[] = {
    {"head too large",
     "HTTP/1.1 200 OK\r\n" + ManyHeaderLines(1001),
     {},
     "X: 1\r\n\r\n",
     "error: Заголовок ответа слишком велик."},
    {"over-long header line",
     "HTTP/1.1 200 OK\r\nX: " + std::string(17000, 'v'),
     {},
     "\r\n\r\n",
     "error: Max line length exceeded."},
    {"unreadable chunk size", kChunkedHead + "5x\r\nhello\r\n", {}, "0\r\n\r\n", ""},
    {"trailer after the last chunk",
     kChunkedHead + "2\r\nhi\r\n0\r\nTrailer: x\r\n",
     {},
     "\r\n",
     "hi"},
    {"error body timed out", "HTTP/1.1 404 Not Found\r\nContent-Length: 8\r\n\r\nhalf",
     Milliseconds(2500), "ab\r\n", "error: Read Timeout"},
    // The redirect's body is given up after 4 s; the next hop needs a connection of its own.
    {"redirect body given up",
     "HTTP/1.1 302 Found\r\nLocation: /next\r\nContent-Length: 8\r\n\r\nhalf", Milliseconds(4500),
     "ab\r\n", "second"},
    // More than the length told: the rest would pass for the next response.
    {"bytes beyond the body",
     Reply("200 OK", "hello") + Reply("200 OK", "smuggled"),
     {},
     "",
     "hello",
     true},
};

TEST(HttpConnectionReuse, TheNextRequestAfterAnUnfinishedResponseGetsANewConnection) {
  for (const UnfinishedCase& c : kCases) {
    const bool timed = c.stall > Milliseconds(0);
    for (size_t pieceSize : {size_t{0}, size_t{1}, size_t{7}}) {
      if ((timed || c.inOneSend) && pieceSize != 0) continue;  // seconds per run: once is enough
      const Milliseconds pause(c.reply.size() <= 2000 ? 1 : 0);
      // Were the connection reused, the next request would read the rest first.
      const Script unfinished = Script()
                                    .ReadHead()
                                    .SendInPieces(c.reply, pieceSize, pause)
                                    .Pause(c.stall)
                                    .Send(c.rest)
                                    .ReadHead()
                                    .Send(kSecond);
      const Script fresh = Script().ReadHead().Send(kSecond).ReadHead().Send(kSecond);
      LoopbackServer server({unfinished, fresh});
      auto http = ProgramClient();
      http->ReadTimeout = 10000;  // a case that would hang fails instead
      EXPECT_EQ(OutcomeOf(*http, BaseURL(server) + "/first"), c.outcome)
          << c.name << ", pieces of " << pieceSize;
      EXPECT_EQ(OutcomeOf(*http, BaseURL(server) + "/second"), "second")
          << c.name << ", pieces of " << pieceSize;
    }
  }
}

// The server may close a kept connection just as the next request arrives
// (its idle time ran out): that request was never answered and goes once
// more on a new connection. On a new connection the same close is a failure.
TEST(HttpConnectionReuse, ARequestDroppedOnAKeptConnectionGoesOnceMoreOnANewOne) {
  LoopbackServer server({Script().ReadHead().Send(Reply("200 OK", "first")).ReadHead().Close(),
                         Script().ReadHead().Send(Reply("200 OK", "second")).ReadHead().Close(),
                         Script().ReadHead().Close()});
  auto http = ProgramClient();
  EXPECT_EQ(OutcomeOf(*http, BaseURL(server) + "/first"), "first");
  EXPECT_EQ(OutcomeOf(*http, BaseURL(server) + "/second"), "second");
  EXPECT_EQ(OutcomeOf(*http, BaseURL(server) + "/third"), "error: Connection Closed Gracefully.");
  EXPECT_EQ(server.Connections(), 3);
}

}  // namespace
