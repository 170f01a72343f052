#include "streams.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>

#include "cp1251.h"
#include "files.h"
#include "net_exceptions.h"

TMemoryStream::~TMemoryStream() {
  std::free(data_);
}

void TMemoryStream::Reserve(int64_t capacity) {
  if (capacity <= capacity_) return;
  void* block = std::realloc(data_, static_cast<size_t>(capacity));
  if (block == nullptr) throw std::bad_alloc();
  data_ = static_cast<char*>(block);
  capacity_ = capacity;
  populated_ = std::min(populated_, size_);
}

// Filling a large block front to back would take one page fault per 4 KiB;
// asking the system for the pages a few MiB at a time is much cheaper, and
// never commits more than a little beyond what was written.
void TMemoryStream::PopulateUpTo(int64_t end) {
  constexpr int64_t kStep = 4 << 20;
  constexpr uintptr_t kPage = 4096;
  if (end <= populated_ || capacity_ < 4 * kStep) return;
  const uintptr_t base = reinterpret_cast<uintptr_t>(data_);
  const uintptr_t from = (base + static_cast<uintptr_t>(populated_)) & ~(kPage - 1);
  populated_ = std::min(capacity_, std::max(end, populated_ + kStep));
  const uintptr_t to = (base + static_cast<uintptr_t>(populated_)) & ~(kPage - 1);
  if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
}

void TMemoryStream::SetSize(int64_t size) {
  if (size < 0) size = 0;
  Reserve(size);
  size_ = size;
  position_ = std::min(position_, size_);
}

void TMemoryStream::Clear() {
  std::free(data_);
  data_ = nullptr;
  size_ = capacity_ = position_ = populated_ = 0;
}

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  const int64_t n = std::clamp<int64_t>(size_ - position_, 0, std::max<int64_t>(count, 0));
  if (n > 0) std::memcpy(buffer, data_ + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  const int64_t end = position_ + count;
  Grow(end);
  if (position_ > size_) std::memset(data_ + size_, 0, static_cast<size_t>(position_ - size_));
  PopulateUpTo(end);
  std::memcpy(data_ + position_, buffer, static_cast<size_t>(count));
  position_ = end;
  size_ = std::max(size_, end);
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  const int64_t base = origin == TSeekOrigin::soBeginning ? 0
                       : origin == TSeekOrigin::soCurrent ? position_
                                                          : size_;
  position_ = std::max<int64_t>(base + offset, 0);
  return position_;
}

int64_t TBoundedMemoryStream::Write(const void* buffer, int64_t count) {
  if (Position() + count > limit_) {
    throw ENetBodyTooLarge(Utf8ToCp1251("Ответ сервера слишком велик: больше ") +
                           std::to_string(limit_ >> 10) + Utf8ToCp1251(" КБ."));
  }
  return TMemoryStream::Write(buffer, count);
}

EStreamWriteError::EStreamWriteError(int error)
    : std::runtime_error(std::strerror(error)), error_(error) {}

namespace {

constexpr size_t kDirectWrite = 32 << 10;
constexpr size_t kHeldPiece = 256 << 10;
constexpr int64_t kWriteBackStep = 1 << 20;

}  // namespace

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  const char* bytes = static_cast<const char*>(buffer);
  const auto n = static_cast<size_t>(count);
  if (n >= kDirectWrite || held_.size() + n > kHeldPiece) Flush();
  if (n >= kDirectWrite) {
    WriteOut(bytes, n);
  } else {
    held_.insert(held_.end(), bytes, bytes + n);
  }
  return count;
}

void TFileStream::Flush() {
  if (held_.empty()) return;
  WriteOut(held_.data(), held_.size());
  held_.clear();
}

void TFileStream::WriteOut(const char* bytes, size_t count) {
  if (!WriteAll(handle_, std::string_view(bytes, count))) throw EStreamWriteError(errno);
  written_ += static_cast<int64_t>(count);
  if (written_ - writtenBack_ >= kWriteBackStep) {
    // A pipe or a device refuses; that is fine.
    sync_file_range(handle_, writtenBack_, written_ - writtenBack_, SYNC_FILE_RANGE_WRITE);
    writtenBack_ = written_;
  }
}
