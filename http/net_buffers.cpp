#include "net_buffers.h"

#include <algorithm>
#include <cstring>

#include "net_exceptions.h"

void TNetSimpleBuffer::Append(const void* bytes, int32_t count) {
  const int64_t position = Position();
  Seek(0, TSeekOrigin::soEnd);
  Write(bytes, count);
  SetPosition(position);
}

void TNetSimpleBuffer::CheckRemovable(int32_t count) const {
  if (count > Size()) throw ENetNotEnoughDataInBuffer("Not enough data in buffer.");
}

void TNetSimpleBuffer::NotifyRemoved(int32_t count) {
  if (OnBytesRemoved) OnBytesRemoved(count);
}

void TNetSimpleBuffer::Remove(int32_t count) {
  count = std::max(count, 0);
  CheckRemovable(count);
  std::memmove(data_, data_ + count, static_cast<size_t>(size_ - count));
  size_ -= count;
  position_ = std::max<int64_t>(position_ - count, 0);
  NotifyRemoved(count);
}

void TNetManagedBuffer::SetSize(int64_t size) {
  TMemoryStream::SetSize(consumed_ + size);
}

int64_t TNetManagedBuffer::Seek(int64_t offset, TSeekOrigin origin) {
  const int64_t base = origin == TSeekOrigin::soBeginning ? consumed_
                       : origin == TSeekOrigin::soCurrent ? position_
                                                          : size_;
  position_ = std::max(base + offset, consumed_);
  return position_ - consumed_;
}

void TNetManagedBuffer::Clear() {
  TMemoryStream::Clear();
  consumed_ = 0;
}

void TNetManagedBuffer::Remove(int32_t count) {
  count = std::max(count, 0);
  CheckRemovable(count);
  if (count == Size()) {
    size_ = position_ = consumed_ = 0;
  } else {
    consumed_ += count;
    position_ = std::max(position_, consumed_);
  }
  NotifyRemoved(count);
}

char* TNetManagedBuffer::PrepareAppend(int32_t count) {
  if (consumed_ > 0) {
    std::memmove(data_, data_ + consumed_, static_cast<size_t>(size_ - consumed_));
    size_ -= consumed_;
    position_ -= consumed_;
    consumed_ = 0;
  }
  Grow(size_ + count);
  return data_ + size_;
}
