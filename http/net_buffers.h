#pragma once
// The connection's byte buffers: a memory block that tells who listens how
// many bytes were taken from its front, and the input buffer built on it.

#include <cstdint>
#include <functional>

#include "streams.h"

class TNetSimpleBuffer : public TMemoryStream {
 public:
  using TRemovalNotification = std::function<void(int32_t count)>;

  // Called with the byte count of every removal, also of 0 bytes.
  TRemovalNotification OnBytesRemoved;

  // Appends bytes at the end; the position is left where it was.
  void Append(const void* bytes, int32_t count);
  // Drops count bytes from the front; raises "Not enough data in buffer."
  // when fewer are held.
  virtual void Remove(int32_t count);

 protected:
  void CheckRemovable(int32_t count) const;
  void NotifyRemoved(int32_t count);
};

// The input buffer: bytes are appended at the end and consumed from the
// front. Consuming only advances an offset; the unconsumed bytes (usually
// few, a part of a line or a block) move to the start of the block when
// room for more is prepared, not on every removal. Size, positions and
// Memory() count unconsumed bytes only.
class TNetManagedBuffer final : public TNetSimpleBuffer {
 public:
  char* Memory() const override { return data_ + consumed_; }
  int64_t Size() const override { return size_ - consumed_; }
  void SetSize(int64_t size) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void Clear() override;
  void Remove(int32_t count) override;

  // Receiving straight into the buffer: room for count bytes past the end,
  // then the bytes that arrived there become part of the buffer.
  char* PrepareAppend(int32_t count);
  void CommitAppend(int32_t count) { size_ += count; }

 private:
  int64_t consumed_ = 0;
};
