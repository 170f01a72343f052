#include <gtest/gtest.h>

#include <netdb.h>

#include <cerrno>

#include "net_exceptions.h"
#include "socket_error_texts.h"

namespace {

TEST(SocketErrors, CodesTextsAndMessages) {
  EXPECT_EQ(ENetSocketError(10061).LastError(), 10061);
  EXPECT_STREQ(socket_errors::Text(10035), "Operation would block. ");
  EXPECT_STREQ(socket_errors::Text(10066), "Directory not empty");
  EXPECT_STREQ(socket_errors::Text(10058), "Cannot send or receive after socket is closed.");
  // A code outside the table ends the message with CRLF.
  EXPECT_EQ(socket_errors::Message(10101), "Socket Error # 10101\r\n");
  EXPECT_EQ(socket_errors::Message(12), "Socket Error # 12\r\n");
  EXPECT_EQ(socket_errors::FromResolverError(EAI_NONAME, 0), 11001);
  EXPECT_EQ(socket_errors::FromResolverError(EAI_SYSTEM, ECONNREFUSED), 10061);
}

TEST(SocketErrors, ErrnoValuesMapOntoWindowsSocketsCodes) {
  const std::pair<int, int> codes[] = {
      {ECONNREFUSED, 10061}, {ETIMEDOUT, 10060},   {ECONNRESET, 10054},
      {ECONNABORTED, 10053}, {EPIPE, 10058},       {ESHUTDOWN, 10058},
      {EADDRINUSE, 10048},   {ENETUNREACH, 10051}, {EHOSTUNREACH, 10065},
      {EINTR, 10004},        {EBADF, 10009},       {EACCES, 10013},
      {EINVAL, 10022},       {EMFILE, 10024},      {EAGAIN, 10035},
      {ENOMEM, ENOMEM},  // no counterpart: kept as it is
  };
  for (const auto& [error, code] : codes) EXPECT_EQ(socket_errors::FromErrno(error), code) << error;
}

}  // namespace
