// Replies a server should never send, each with the outcome the client must
// reach, replayed whole and cut into 1-byte and 7-byte pieces.

#include <gtest/gtest.h>

#include "http_test_helpers.h"

namespace {

using namespace testing_support;

struct MalformedCase {
  const char* name;
  std::string reply;    // sent after the request head, then the server closes
  std::string outcome;  // the body, or "error: " and the exception's message
};

template <size_t N>
std::string WithNulBytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

const MalformedCase kCases[] = {
    {"unreadable chunk size", kChunkedHead + "zz\r\nhello\r\n0\r\n\r\n", ""},
    {"chunk size over 32 bits, cut short", kChunkedHead + "100000005\r\nhello\r\n0\r\n\r\n",
     "error: Connection Closed Gracefully."},
    {"chunk size of 2 GiB cut short", kChunkedHead + "7FFFFFFF\r\nhello",
     "error: Connection Closed Gracefully."},
    {"chunk size over 63 bits", kChunkedHead + "8000000000000000\r\nhello\r\n", ""},
    {"chunk extension", kChunkedHead + "5;name=x\r\nhello\r\n0;last\r\n\r\n", "hello"},
    {"chunk extension after a space", kChunkedHead + "5 ;name=x\r\nhello\r\n0\r\n\r\n", "hello"},
    {"chunk with trailer", kChunkedHead + "A\r\n0123456789\r\n0\r\nTrailer: x\r\n\r\n",
     "0123456789"},
    {"chunk longer than its size", kChunkedHead + "5\r\nhelloEXTRA\r\n0\r\n\r\n", "hello"},
    {"closed mid-chunk", kChunkedHead + "5\r\nhe", "error: Connection Closed Gracefully."},
    {"negative length", "HTTP/1.1 200 OK\r\nContent-Length: -5\r\n\r\nuntil close",
     "error: Invalid Content-Length"},
    {"non-numeric length", "HTTP/1.1 200 OK\r\nContent-Length: 5x\r\n\r\nuntil close",
     "error: Invalid Content-Length"},
    {"two lengths that differ",
     "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nContent-Length: 4\r\n\r\nhihi",
     "error: Invalid Content-Length"},
    {"length over 32 bits, cut short", "HTTP/1.1 200 OK\r\nContent-Length: 99999999999\r\n\r\nrest",
     "rest"},
    {"chunked with a length too",
     "HTTP/1.1 200 OK\r\nContent-Length: 20\r\nTransfer-Encoding: chunked\r\n\r\n"
     "5\r\nhello\r\n0\r\n\r\n",
     "hello"},
    {"malformed Content-Range",
     "HTTP/1.1 200 OK\r\nContent-Range: bytes x-9/10\r\nContent-Length: 2\r\n\r\nhi",
     "error: 'x' is not a valid integer value"},
    {"closed mid-body", "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nhello", "hello"},
    {"status line without code", "HTTP/1.1 OK\r\n\r\n", "error: HTTP/1.1 OK"},
    {"status line alone", "HTTP/1.1 200 OK\r\n", "error: Undefined situation"},
    {"empty reply", "", "error: Connection Closed Gracefully."},
    {"header without colon", "HTTP/1.1 200 OK\r\nBogus\r\nContent-Length: 2\r\n\r\nhi", "hi"},
    {"NUL bytes", WithNulBytes("HTTP/1.1 200 OK\r\nX: a\0b\r\nContent-Length: 3\r\n\r\nh\0i"),
     WithNulBytes("h\0i")},
    {"bare LF line ends", "HTTP/1.1 200 OK\nContent-Length: 2\n\nhi", "hi"},
    {"head without closing blank line", "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n",
     "error: Undefined situation"},
    {"closed mid-head", "HTTP/1.1 200 OK\r\nContent-Le", "error: Undefined situation"},
    {"error closed mid-head", "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n",
     "error: HTTP/1.1 404 Not Found"},
    // Leads back to the same URL until the redirect limit fails the call.
    {"redirect without Location",
     "HTTP/1.1 302 Found\r\nConnection: close\r\nContent-Length: 0\r\n\r\n",
     "error: Too many redirects."},
    {"100 followed by nothing", "HTTP/1.1 100 Continue\r\n\r\n",
     "error: Connection Closed Gracefully."},
    {"early hints before the answer",
     "HTTP/1.1 103 Early Hints\r\nLink: </a>\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nhi",
     "hi"},
    {"interim replies without end",
     [] {
       std::string replies;
       for (int i = 0; i < 21; ++i) replies += "HTTP/1.1 100 Continue\r\n\r\n";
       return replies + "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nhi";
     }(),
     "error: Too many interim responses."},
    {"a protocol switch never asked for", "HTTP/1.1 101 Switching Protocols\r\n\r\n",
     "error: HTTP/1.1 101 Switching Protocols"},
    {"1001 header lines", "HTTP/1.1 200 OK\r\n" + ManyHeaderLines(1001) + "\r\n",
     "error: Заголовок ответа слишком велик."},
    {"over 1 MiB of head", "HTTP/1.1 200 OK\r\n" + ManyHeaderLines(100, 12000) + "\r\n",
     "error: Заголовок ответа слишком велик."},
    {"body over 16 MiB", "HTTP/1.1 200 OK\r\n\r\n" + std::string((16 << 20) + 1, 'x'),
     "error: Ответ сервера слишком велик: больше 16384 КБ."},
    {"over-long header line", "HTTP/1.1 200 OK\r\nX: " + std::string(20000, 'v') + "\r\n\r\n",
     "error: Max line length exceeded."},
};

std::string Outcome(const MalformedCase& c, size_t pieceSize) {
  // Short replies pause between pieces so that each arrives on its own.
  const Milliseconds pause(c.reply.size() <= 2000 ? 1 : 0);
  const Script script = Script().ReadHead().SendInPieces(c.reply, pieceSize, pause);
  LoopbackServer server(script);
  auto http = ProgramClient();
  http->ReadTimeout = 10000;  // a case that would hang fails instead
  return OutcomeOf(*http, BaseURL(server) + "/");
}

TEST(HttpMalformedReplies, EachHasItsOutcomeWholeAndInPieces) {
  for (const MalformedCase& c : kCases) {
    for (size_t pieceSize : {size_t{0}, size_t{1}, size_t{7}}) {
      // The megabyte head goes whole only: a million pieces take too long.
      if (pieceSize != 0 && c.reply.size() > 100000) continue;
      EXPECT_EQ(Outcome(c, pieceSize), c.outcome) << c.name << ", pieces of " << pieceSize;
    }
  }
}

}  // namespace
