#pragma once
// Byte streams the connection reads into and sends from.

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <vector>

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
 public:
  virtual ~TStream() = default;
  // Reads up to count bytes at the position; returns how many it read.
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  // Writes count bytes at the position; returns how many it wrote.
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
  virtual int64_t Size() const = 0;
  virtual void SetSize(int64_t size) = 0;

  int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(int64_t position) { Seek(position, TSeekOrigin::soBeginning); }
};

// A growable block of memory. SetSize allocates exactly what it is asked
// for; writes past the end grow the block by doubling. The position may lie
// past the end; a write there fills the gap with zeros.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  TMemoryStream(const TMemoryStream&) = delete;
  TMemoryStream& operator=(const TMemoryStream&) = delete;
  ~TMemoryStream() override;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() const override { return size_; }
  void SetSize(int64_t size) override;

  virtual char* Memory() const { return data_; }
  virtual void Clear();

 protected:
  void Reserve(int64_t capacity);
  void PopulateUpTo(int64_t end);
  // Makes room for at least capacity bytes, doubling to keep appends cheap.
  void Grow(int64_t capacity) {
    Reserve(capacity > capacity_ ? std::max(capacity, capacity_ * 2) : 0);
  }

  char* data_ = nullptr;
  int64_t size_ = 0;
  int64_t capacity_ = 0;
  int64_t position_ = 0;
  int64_t populated_ = 0;  // bytes of the block known to be backed by memory
};

// A memory stream that a server cannot grow without end: a write past its
// limit raises ENetBodyTooLarge and keeps nothing of that write.
class TBoundedMemoryStream : public TMemoryStream {
 public:
  explicit TBoundedMemoryStream(int64_t limit) : limit_(limit) {}
  int64_t Write(const void* buffer, int64_t count) override;

 private:
  int64_t limit_;
};

// A write that the system refused: a full disk, a file grown too large. The
// message is the system's text; Error() its errno.
class EStreamWriteError : public std::runtime_error {
 public:
  explicit EStreamWriteError(int error);
  int Error() const { return error_; }

 private:
  int error_;
};

// Writes what it receives to an open file descriptor (a file, a pipe,
// standard output): small writes are gathered into pieces of 256 KiB, a
// write of 32 KiB or more goes out as it is. The write-back of a file is
// started every MiB, so a final flush of it has little left to wait for.
// Writes only at its end; it does not close the descriptor. Flush writes
// what is held; the destructor drops it.
class TFileStream : public TStream {
 public:
  explicit TFileStream(int handle) : handle_(handle) {}
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  // Raise EStreamWriteError when the system refuses bytes.
  int64_t Write(const void* buffer, int64_t count) override;
  void Flush();

  // Nothing to read back; the position is always the end.
  int64_t Read(void*, int64_t) override { return 0; }
  int64_t Seek(int64_t, TSeekOrigin) override { return Size(); }
  int64_t Size() const override { return written_ + static_cast<int64_t>(held_.size()); }
  // Keeps the size it has: the connection only cuts a stream at its end.
  void SetSize(int64_t) override {}

 private:
  void WriteOut(const char* bytes, size_t count);

  int handle_;
  std::vector<char> held_;
  int64_t written_ = 0;
  int64_t writtenBack_ = 0;  // where the last started write-back ended
};
