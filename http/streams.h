#pragma once
// Byte streams the connection reads into and sends from.

#include <algorithm>
#include <cstdint>

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
