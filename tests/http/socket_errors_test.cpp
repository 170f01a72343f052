#include <gtest/gtest.h>

#include <netdb.h>

#include <cerrno>

#include "net_exceptions.h"
#include "socket_error_texts.h"

namespace {

TEST(SocketErrors, MessageHasTheCodeAndTheTextOnTwoLines) {
  EXPECT_EQ(ENetSocketError(10061).what(),
            std::string("Socket Error # 10061\r\nConnection refused."));
  EXPECT_EQ(ENetSocketError(11001).what(), std::string("Socket Error # 11001\r\nHost not found."));
  EXPECT_EQ(ENetSocketError(10060).what(),
            std::string("Socket Error # 10060\r\nConnection timed out."));
  EXPECT_EQ(ENetSocketError(10061).LastError(), 10061);
}

TEST(SocketErrors, TextsKeepTheirExactBytes) {
  EXPECT_STREQ(socket_errors::Text(10035), "Operation would block. ");
  EXPECT_STREQ(socket_errors::Text(10066), "Directory not empty");
  EXPECT_STREQ(socket_errors::Text(10058), "Cannot send or receive after socket is closed.");
}

TEST(SocketErrors, ACodeOutsideTheTableEndsTheMessageWithCRLF) {
  EXPECT_EQ(socket_errors::Message(10101), "Socket Error # 10101\r\n");
  EXPECT_EQ(socket_errors::Message(12), "Socket Error # 12\r\n");
}

TEST(SocketErrors, ErrnoValuesMapOntoWindowsSocketsCodes) {
  EXPECT_EQ(socket_errors::FromErrno(ECONNREFUSED), 10061);
  EXPECT_EQ(socket_errors::FromErrno(ETIMEDOUT), 10060);
  EXPECT_EQ(socket_errors::FromErrno(ECONNRESET), 10054);
  EXPECT_EQ(socket_errors::FromErrno(ECONNABORTED), 10053);
  EXPECT_EQ(socket_errors::FromErrno(EPIPE), 10058);
  EXPECT_EQ(socket_errors::FromErrno(ESHUTDOWN), 10058);
  EXPECT_EQ(socket_errors::FromErrno(EADDRINUSE), 10048);
  EXPECT_EQ(socket_errors::FromErrno(ENETUNREACH), 10051);
  EXPECT_EQ(socket_errors::FromErrno(EHOSTUNREACH), 10065);
  EXPECT_EQ(socket_errors::FromErrno(EINTR), 10004);
  EXPECT_EQ(socket_errors::FromErrno(EBADF), 10009);
  EXPECT_EQ(socket_errors::FromErrno(EACCES), 10013);
  EXPECT_EQ(socket_errors::FromErrno(EINVAL), 10022);
  EXPECT_EQ(socket_errors::FromErrno(EMFILE), 10024);
  EXPECT_EQ(socket_errors::FromErrno(EAGAIN), 10035);
  EXPECT_EQ(socket_errors::FromErrno(ENOMEM), ENOMEM) << "no counterpart: kept as it is";
}

TEST(SocketErrors, AnUnknownNameIsHostNotFound) {
  EXPECT_EQ(socket_errors::FromResolverError(EAI_NONAME, 0), 11001);
  EXPECT_EQ(socket_errors::FromResolverError(EAI_SYSTEM, ECONNREFUSED), 10061);
}

TEST(SocketErrors, MessagesWithValues) {
  try {
    RaiseInvalidPortRange(5, 3);
  } catch (const ENetInvalidPortRange& e) {
    EXPECT_STREQ(e.what(), "Invalid Port Range (5 - 3)");
  }
  try {
    RaiseCanNotBindPortInRange(1000, 1010);
  } catch (const ENetCanNotBindPortInRange& e) {
    EXPECT_STREQ(e.what(), "Can not bind in port range (1000 - 1010)");
  }
}

}  // namespace
