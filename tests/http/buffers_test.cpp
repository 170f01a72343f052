#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <string>
#include <vector>

#include "net_buffers.h"
#include "net_exceptions.h"

namespace {

std::string Contents(const TMemoryStream& stream) {
  return std::string(stream.Memory(), static_cast<size_t>(stream.Size()));
}

TEST(MemoryStream, GrowingKeepsThePositionAndCuttingKeepsTheBytes) {
  TMemoryStream stream;
  stream.Write("abc", 3);
  stream.SetSize(3 + 1000);  // grown once before a transfer
  EXPECT_EQ(stream.Position(), 3);
  stream.Write("de", 2);
  stream.SetSize(stream.Position());  // cut to what was written
  EXPECT_EQ(Contents(stream), "abcde");
}

TEST(MemoryStream, ShrinkingBelowThePositionMovesItToTheEnd) {
  TMemoryStream stream;
  stream.Write("abcdef", 6);
  stream.SetSize(2);
  EXPECT_EQ(stream.Position(), 2);
  stream.SetPosition(0);
  char bytes[8];
  EXPECT_EQ(stream.Read(bytes, 8), 2);
}

TEST(MemoryStream, WritingPastTheEndFillsTheGapWithZeros) {
  TMemoryStream stream;
  stream.Seek(3, TSeekOrigin::soBeginning);
  stream.Write("x", 1);
  EXPECT_EQ(Contents(stream), std::string("\0\0\0x", 4));
}

TEST(MemoryStream, ALargeStreamSizedOnceKeepsEveryByteWritten) {
  TMemoryStream stream;
  const int64_t size = 40 << 20;
  stream.SetSize(size);
  std::string piece(32768, '\0');
  for (int64_t at = 0; at < size; at += piece.size()) {
    piece[0] = static_cast<char>(at >> 15);
    stream.Write(piece.data(), piece.size());
  }
  EXPECT_EQ(stream.Size(), size);
  for (int64_t at = 0; at < size; at += piece.size()) {
    ASSERT_EQ(stream.Memory()[at], static_cast<char>(at >> 15)) << at;
  }
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
  ASSERT_GE(full, 0);
  TFileStream onAFullDisk(full);
  const std::string block(40000, 'x');
  try {
    onAFullDisk.Write(block.data(), static_cast<int64_t>(block.size()));
    FAIL();
  } catch (const EStreamWriteError& e) {
    EXPECT_EQ(e.Error(), ENOSPC);
    EXPECT_STREQ(e.what(), "No space left on device");
  }
  close(full);
}

class ManagedBufferTest : public ::testing::Test {
 protected:
  ManagedBufferTest() {
    buffer.OnBytesRemoved = [this](int32_t n) { removals.push_back(n); };
  }
  void Append(const std::string& bytes) { buffer.Append(bytes.data(), bytes.size()); }
  std::string Unconsumed() const {
    return std::string(buffer.Memory(), static_cast<size_t>(buffer.Size()));
  }

  TNetManagedBuffer buffer;
  std::vector<int32_t> removals;
};

TEST_F(ManagedBufferTest, CountsUnconsumedBytesOnlyAndNotifiesEveryRemoval) {
  Append("hello world");
  buffer.Remove(6);
  EXPECT_EQ(buffer.Size(), 5);
  EXPECT_EQ(Unconsumed(), "world");
  EXPECT_EQ(buffer.Position(), 0);
  buffer.Remove(0);
  EXPECT_EQ(removals, (std::vector<int32_t>{6, 0}));
}

TEST_F(ManagedBufferTest, MovesBytesToTheFrontOnlyAfter32768Consumed) {
  Append(std::string(40000, 'a') + "tail");
  const char* block = buffer.Memory();
  buffer.Remove(32767);
  EXPECT_EQ(buffer.Memory(), block + 32767) << "no move before the threshold";
  buffer.Remove(1);
  EXPECT_EQ(buffer.Memory(), block) << "moved to the start of the block";
  EXPECT_EQ(buffer.Size(), 40004 - 32768);
  EXPECT_EQ(Unconsumed().substr(Unconsumed().size() - 4), "tail");
}

TEST_F(ManagedBufferTest, RemovingEverythingEmptiesTheBlockAndAppendsStartAgain) {
  Append("abc");
  buffer.Remove(3);
  EXPECT_EQ(buffer.Size(), 0);
  Append("xyz");
  EXPECT_EQ(Unconsumed(), "xyz");
}

TEST_F(ManagedBufferTest, RemovingMoreThanHeldRaises) {
  Append("ab");
  try {
    buffer.Remove(3);
    FAIL();
  } catch (const ENetNotEnoughDataInBuffer& e) {
    EXPECT_STREQ(e.what(), "Not enough data in buffer.");
  }
  EXPECT_EQ(Unconsumed(), "ab");
}

TEST(SimpleBuffer, RemovesFromTheFront) {
  TNetSimpleBuffer buffer;
  buffer.Append("abcdef", 6);
  buffer.Remove(4);
  EXPECT_EQ(std::string(buffer.Memory(), buffer.Size()), "ef");
}

}  // namespace
