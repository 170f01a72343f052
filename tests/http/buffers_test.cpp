#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <string>
#include <vector>

#include "net_buffers.h"
#include "tcp_test_helpers.h"

namespace {

using testing_support::Contents;
using testing_support::MessageOf;

TEST(MemoryStream, SizesPositionsAndGaps) {
  TMemoryStream stream;
  stream.Write("abc", 3);
  stream.SetSize(3 + 1000);  // grown once before a transfer
  EXPECT_EQ(stream.Position(), 3);
  stream.Write("def", 3);
  stream.SetSize(stream.Position());  // cut to what was written
  EXPECT_EQ(Contents(stream), "abcdef");
  stream.SetSize(2);
  EXPECT_EQ(stream.Position(), 2) << "shrinking below the position moves it to the end";
  stream.SetPosition(0);
  char bytes[8];
  EXPECT_EQ(stream.Read(bytes, 8), 2);
  stream.Seek(4, TSeekOrigin::soBeginning);
  stream.Write("x", 1);
  EXPECT_EQ(Contents(stream), std::string("ab\0\0x", 5)) << "a gap is filled with zeros";

  TMemoryStream large;
  const int64_t size = 40 << 20;
  large.SetSize(size);
  std::string piece(32768, '\0');
  for (int64_t at = 0; at < size; at += piece.size()) {
    piece[0] = static_cast<char>(at >> 15);
    large.Write(piece.data(), piece.size());
  }
  EXPECT_EQ(large.Size(), size);
  for (int64_t at = 0; at < size; at += piece.size())
    ASSERT_EQ(large.Memory()[at], static_cast<char>(at >> 15)) << at;
}

// Small writes gathered, large ones passed on, all in order; a refused write
// (a full disk) raises the system's text.
TEST(FileStream, WritesEverythingInOrderAndAFullDiskRaises) {
  char name[] = "/tmp/melodrop-file-stream-XXXXXX";
  const int handle = mkstemp(name);
  std::string expected;
  {
    TFileStream stream(handle);
    for (const size_t size : {10, 40000, 300000, 5, 70000}) {
      const std::string piece(size, static_cast<char>('a' + size % 26));
      EXPECT_EQ(stream.Write(piece.data(), static_cast<int64_t>(size)), static_cast<int64_t>(size));
      expected += piece;
      EXPECT_EQ(stream.Position(), static_cast<int64_t>(expected.size()));
    }
    stream.Flush();
  }
  close(handle);
  std::ifstream file(name, std::ios::binary);
  EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(file), {}) == expected);
  unlink(name);

  const int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
  TFileStream onAFullDisk(full);
  const std::string block(40000, 'x');
  try {
    onAFullDisk.Write(block.data(), static_cast<int64_t>(block.size()));
    ADD_FAILURE();
  } catch (const EStreamWriteError& e) {
    EXPECT_EQ(e.Error(), ENOSPC);
    EXPECT_STREQ(e.what(), "No space left on device");
  }
  close(full);
}

TEST(ManagedBuffer, CountsUnconsumedBytesAndMovesThemToTheFrontBeforeMoreArrive) {
  TNetManagedBuffer buffer;
  std::vector<int32_t> removals;
  buffer.OnBytesRemoved = [&](int32_t n) { removals.push_back(n); };
  const auto unconsumed = [&] {
    return std::string(buffer.Memory(), static_cast<size_t>(buffer.Size()));
  };
  buffer.Append("hello world", 11);
  buffer.Remove(6);
  buffer.Remove(0);
  EXPECT_EQ(unconsumed(), "world");
  EXPECT_EQ(buffer.Position(), 0);
  EXPECT_EQ(removals, (std::vector<int32_t>{6, 0}));
  EXPECT_EQ(MessageOf<ENetNotEnoughDataInBuffer>([&] { buffer.Remove(6); }),
            "Not enough data in buffer.");
  EXPECT_EQ(unconsumed(), "world");
  buffer.Remove(5);
  EXPECT_EQ(buffer.Size(), 0);

  std::string bytes(40000, 'a');
  bytes += "tail";
  buffer.Append(bytes.data(), bytes.size());
  const char* block = buffer.Memory();
  buffer.Remove(32768);
  EXPECT_EQ(buffer.Memory(), block + 32768) << "no move on a removal";
  buffer.PrepareAppend(10);
  EXPECT_EQ(buffer.Memory(), block) << "moved to the start before more arrive";
  EXPECT_EQ(unconsumed(), bytes.substr(32768));

  TNetSimpleBuffer simple;
  simple.Append("abcdef", 6);
  simple.Remove(4);
  EXPECT_EQ(std::string(simple.Memory(), simple.Size()), "ef");
}

}  // namespace
