// The window's words for what ends a request: Russian, never the client's
// English or the Windows Sockets texts.
#include "error_words.h"

#include <gtest/gtest.h>

#include <functional>

#include "http_client.h"
#include "net_exceptions.h"

namespace {

struct WordsCase {
  std::function<void()> raise;
  const char* words;
};

TEST(ErrorWords, EveryFailureAServerCanCauseIsToldInRussian) {
  const WordsCase cases[] = {
      {[] { throw ENetHTTPProtocolException(404, "HTTP/1.1 404 Not Found", ""); },
       "Сервер ответил ошибкой: HTTP/1.1 404 Not Found"},
      {[] { throw ENetUnknownProtocol("Unsupported protocol \"ftp\"."); },
       "Адрес не поддерживается: программа загружает только по http."},
      {[] { throw ENetIOHandlerPropInvalid("IOHandler value is not valid"); },
       "Адрес не поддерживается: программа загружает только по http."},
      {[] { throw ENetProtocolReplyError("Invalid Content-Length"); },
       "Сервер прислал ответ, который не удалось прочитать."},
      {[] { throw ENetReadLnMaxLineLengthExceeded("Max line length exceeded."); },
       "Сервер прислал ответ, который не удалось прочитать."},
      // Links that no request can go to, through the client.
      {[] { TNetHTTP().Get("http://127.0.0.1:8o/track.mp3"); }, "Неверный адрес сервера в ссылке."},
      {[] { TNetHTTP().Get("http://127.0.0.1\r\nX: 1/track.mp3"); },
       "Неверный адрес сервера в ссылке."},
  };
  for (const WordsCase& c : cases) {
    try {
      c.raise();
      ADD_FAILURE() << "nothing raised for " << c.words;
    } catch (const std::exception& error) {
      EXPECT_EQ(WindowMessageOf(error).Utf8(), c.words);
    }
  }
}

}  // namespace
