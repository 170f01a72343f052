#include "tcp_connection.h"

#include <arpa/inet.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstring>
#include <new>
#include <string_view>
#include <vector>

#include "connection_intercept.h"
#include "cp1251.h"
#include "finally.h"
#include "net_exceptions.h"
#include "net_stack.h"
#include "sliced_wait.h"
#include "socket_error_texts.h"

TNetTCPConnection::TNetTCPConnection() {
  // Read progress is counted where received bytes leave the input buffer.
  inputBuffer_.OnBytesRemoved = [this](int32_t count) { AdvanceWork(TWorkMode::wmRead, count); };
}

TNetTCPConnection::~TNetTCPConnection() = default;

void TNetTCPConnection::SetIOHandler(TNetIOHandler* handler) {
  implicitHandler_.reset();
  ioHandler_ = handler;
}

void TNetTCPConnection::AttachImplicitIOHandler(std::unique_ptr<TNetIOHandler> handler) {
  implicitHandler_ = std::move(handler);
  ioHandler_ = implicitHandler_.get();
}

void TNetTCPConnection::ResetConnection() {
  inputBuffer_.Clear();
  closedByPeer_ = false;
  releasedHandler_.reset();
}

void TNetTCPConnection::DoOnDisconnected() {
  if (OnDisconnected) OnDisconnected(this);
}

// --- State -----------------------------------------------------------------

void TNetTCPConnection::CheckClosed(bool raiseIfClosed, bool ignoreBuffer) {
  if (!ioHandler_) return;
  bool closed;
  if (closedByPeer_) {
    closed = true;
    if (ioHandler_->Connected()) {
      DropSocket();
      ReportStatus(TNetStatus::hsDisconnected);
      DoOnDisconnected();
    }
  } else {
    closed = !ioHandler_->Connected();
  }
  // Bytes that arrived before the peer closed can still be read.
  if (closed && raiseIfClosed && (inputBuffer_.Size() == 0 || ignoreBuffer)) {
    throw ENetConnClosedGracefully("Connection Closed Gracefully.");
  }
}

bool TNetTCPConnection::Connected() {
  CheckClosed(false, false);
  return ioHandler_ && ioHandler_->Connected();
}

// Takes in only what has already arrived: a wait here would delay every
// request on a reused connection.
void TNetTCPConnection::PollClosed(bool raiseIfClosed) {
  FillInputBuffer(raiseIfClosed, 0, false);
}

void TNetTCPConnection::DropSocket() {
  if (!ioHandler_) return;
  if (Intercept) Intercept->Disconnect();
  ioHandler_->Close();
}

void TNetTCPConnection::Disconnect() {
  const bool wasConnected = Connected();
  if (wasConnected) {
    ReportStatus(TNetStatus::hsDisconnecting);
    DropSocket();
  }
  if (implicitHandler_) {
    ioHandler_ = nullptr;
    releasedHandler_ = std::move(implicitHandler_);
  }
  if (wasConnected) {
    DoOnDisconnected();
    ReportStatus(TNetStatus::hsDisconnected);
  }
}

// --- Reading ---------------------------------------------------------------

int TNetTCPConnection::FillInputBuffer(bool raiseIfClosed, int timeout, bool raiseOnTimeout) {
  if (timeout == -1) timeout = ReadTimeout == 0 ? kNoTimeLimit : ReadTimeout;
  CheckClosed(raiseIfClosed, false);
  if (!Connected()) {
    if (raiseIfClosed) throw ENetNotConnected("Not Connected");
    return 0;
  }
  // Bytes that keep coming end no wait: the hook still runs every kIdleSliceMs.
  if (OnIdle) RunIdleHookWhenDue();
  const auto readable = [this](int waitMs) { return ioHandler_->Readable(waitMs); };
  for (;;) {
    // What has arrived is taken at once; only an empty socket is waited for,
    // which saves a wait call per block while a body streams in.
    const int result = ReceiveIntoInputBuffer(raiseIfClosed);
    if (result == kNothingArrived) {
      if (!WaitForTransport(readable, timeout)) {
        if (raiseOnTimeout) throw ENetReadTimeout("Read Timeout");
        return -1;
      }
      continue;
    }
    CheckClosed(raiseIfClosed, false);
    if (result != 0 || !Connected()) return result;
  }
}

void TNetTCPConnection::RunIdleHookWhenDue() {
  if (std::chrono::steady_clock::now() >= idleDue_) RunIdleHook();
}

bool TNetTCPConnection::WaitForTransport(const std::function<bool(int waitMs)>& ready,
                                         int timeoutMs) {
  if (!OnIdle) return WaitInSlices(ready, timeoutMs, nullptr);
  // A socket that takes bytes at once ends every wait before its slice runs
  // out: the hook still runs every kIdleSliceMs.
  RunIdleHookWhenDue();
  return WaitInSlices(ready, timeoutMs, [this] { RunIdleHook(); });
}

void TNetTCPConnection::RunIdleHook() {
  OnIdle(this);
  idleDue_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(kIdleSliceMs);
  if (!Connected()) throw ENetNotConnected("Not Connected");
}

int64_t TNetTCPConnection::ReadWorkReceived() const {
  const WorkRecord& read = Work(TWorkMode::wmRead);
  if (read.level == 0) return 0;
  return read.count + inputBuffer_.Size();
}

// One receive call, straight into the free end of the input buffer;
// kNothingArrived when the socket holds nothing yet.
int TNetTCPConnection::ReceiveIntoInputBuffer(bool raiseIfClosed) {
  if (!ioHandler_) {
    if (raiseIfClosed) throw ENetNotConnected("Not Connected");
    return 0;
  }
  const int32_t size = std::max(RecvBufferSize, receiveSize_);
  char* tail = inputBuffer_.PrepareAppend(size);
  const int result = ioHandler_->Recv(tail, size);
  closedByPeer_ = result == 0;
  if (result < 0) {
    TNetStack& stack = TNetStack::Instance();
    if (stack.WouldBlock()) return kNothingArrived;
    if (stack.CheckForSocketError(result,
                                  {socket_errors::kShutdown, socket_errors::kConnectionAborted})) {
      DropSocket();
      if (inputBuffer_.Size() == 0) stack.RaiseSocketError(stack.LastError());
    }
    return 0;
  }
  const int32_t kept = result > 0 ? FilterReceived(tail, result) : 0;
  inputBuffer_.CommitAppend(kept);
  return kept;
}

// Hands the received bytes to the intercept and the ASCII filter; returns
// how many bytes there are afterwards, in place at the buffer's end.
int32_t TNetTCPConnection::FilterReceived(char* bytes, int32_t count) {
  if (Intercept) {
    TNetSimpleBuffer block;
    block.Write(bytes, count);
    Intercept->Receive(block);
    count = static_cast<int32_t>(block.Size());
    bytes = inputBuffer_.PrepareAppend(count);
    std::memcpy(bytes, block.Memory(), static_cast<size_t>(count));
  }
  if (ASCIIFilter) {
    for (int32_t i = 0; i < count; ++i) bytes[i] = static_cast<char>(bytes[i] & 0x7F);
  }
  return count;
}

std::string TNetTCPConnection::ReadLine(const std::string& terminator, int timeout, int maxLength) {
  if (maxLength == -1) maxLength = MaxLineLength;
  const std::string ending = terminator.empty() ? std::string("\n") : terminator;
  const size_t limit = maxLength > 0 ? static_cast<size_t>(maxLength) : SIZE_MAX;
  readLnSplit_ = false;
  readLnTimedOut_ = false;
  size_t searchFrom = 0;
  for (;;) {
    const std::string_view buffered(inputBuffer_.Memory(),
                                    static_cast<size_t>(inputBuffer_.Size()));
    const size_t found = buffered.find(ending, searchFrom);
    if (found != std::string_view::npos) {
      if (found > limit) return TakeOverlongLine(maxLength);
      return TakeLine(found, ending.size(), ending == "\n");
    }
    if (buffered.size() > limit) return TakeOverlongLine(maxLength);
    // Bytes already searched are not searched again.
    searchFrom = buffered.size() >= ending.size() ? buffered.size() - ending.size() + 1 : 0;
    CheckClosed(true, true);
    if (FillInputBuffer(true, timeout, timeout == -1) == -1) {
      readLnTimedOut_ = true;
      return "";
    }
  }
}

std::string TNetTCPConnection::TakeLine(size_t length, size_t terminatorLength, bool stripCR) {
  std::string line(inputBuffer_.Memory(), length);
  inputBuffer_.Remove(static_cast<int32_t>(length + terminatorLength));
  if (stripCR && !line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

std::string TNetTCPConnection::TakeOverlongLine(int maxLength) {
  if (MaxLineAction == TNetMaxLineAction::maException) {
    throw ENetReadLnMaxLineLengthExceeded("Max line length exceeded.");
  }
  readLnSplit_ = true;
  std::string line(inputBuffer_.Memory(), static_cast<size_t>(maxLength));
  inputBuffer_.Remove(maxLength);
  return line;
}

void TNetTCPConnection::WaitForBufferedBytes(int count) {
  while (inputBuffer_.Size() < count) {
    FillInputBuffer(true, -1, true);
    // A peer close raises even while some bytes are still buffered.
    CheckClosed(true, true);
  }
}

void TNetTCPConnection::ReadExact(void* destination, int count) {
  if (count <= 0 || destination == nullptr) return;
  WaitForBufferedBytes(count);
  std::memcpy(destination, inputBuffer_.Memory(), static_cast<size_t>(count));
  inputBuffer_.Remove(count);
}

void TNetTCPConnection::MoveBufferedToStream(TStream& stream, int count) {
  stream.Write(inputBuffer_.Memory(), count);
  inputBuffer_.Remove(count);
}

void TNetTCPConnection::ReadBlocksToStream(TStream& stream, int64_t remaining, bool untilClose) {
  const auto buffered = [&] { return static_cast<int32_t>(inputBuffer_.Size()); };
  if (buffered() > 0) {
    const int32_t n = static_cast<int32_t>(std::min<int64_t>(buffered(), remaining));
    MoveBufferedToStream(stream, n);
    remaining -= n;
  }
  while (remaining > 0) {
    const int32_t k = static_cast<int32_t>(std::min<int64_t>(remaining, RecvBufferSize));
    try {
      WaitForBufferedBytes(k);
    } catch (const ENetConnClosedGracefully&) {
      MoveBufferedToStream(stream, std::min(k, buffered()));
      if (untilClose) return;
      throw;
    } catch (...) {
      MoveBufferedToStream(stream, std::min(k, buffered()));
      throw;
    }
    MoveBufferedToStream(stream, k);
    remaining -= k;
  }
}

void TNetTCPConnection::ReadToStream(TStream& stream, int64_t count, bool untilClose) {
  if (count < 0 && !untilClose) {
    uint32_t length = 0;
    ReadExact(&length, sizeof length);
    count = ntohl(length);
  }
  // The stream grows as the bytes arrive: a length the peer announces is
  // no promise, and must not reserve memory before the data comes.
  const int64_t remaining = untilClose ? INT64_MAX : count;
  StartWork(TWorkMode::wmRead, untilClose ? 0 : count);
  // A body takes fewer, larger receives; it is still counted block by block.
  receiveSize_ = kStreamReceiveSize;
  WithCleanup(
      [&] {
        try {
          ReadBlocksToStream(stream, remaining, untilClose);
        } catch (const std::bad_alloc&) {
          throw ENetException(Utf8ToCp1251("Недостаточно памяти для приёма данных."));
        }
      },
      [&] {
        receiveSize_ = 0;
        FinishWork(TWorkMode::wmRead);
        const int64_t position = stream.Position();
        if (stream.Size() > position) stream.SetSize(position);
      });
}

// --- Writing ---------------------------------------------------------------

void TNetTCPConnection::WriteBytes(const void* bytes, int count, bool writeNow) {
  if (count <= 0 || bytes == nullptr) return;
  CheckClosed(true, true);
  if (!Connected()) throw ENetNotConnected("Not Connected");
  if (writeBatch_ && !writeNow) {
    writeBatch_->Append(bytes, count);
    if (writeBatchThreshold_ > 0 && writeBatch_->Size() >= writeBatchThreshold_) {
      FlushWriteBatch(writeBatchThreshold_);
    }
    return;
  }
  if (Intercept) {
    TNetSimpleBuffer block;
    block.Write(bytes, count);
    Intercept->Send(block);
    SendNow(block.Memory(), static_cast<int>(block.Size()));
  } else {
    SendNow(static_cast<const char*>(bytes), count);
  }
}

void TNetTCPConnection::SendNow(const char* bytes, int count) {
  int sent = 0;
  while (sent < count) {
    // A progress handler may have disconnected after the previous send.
    if (!ioHandler_) throw ENetNotConnected("Not Connected");
    const int result = ioHandler_->Send(bytes + sent, count - sent);
    TNetStack& stack = TNetStack::Instance();
    if (result < 0 && stack.WouldBlock()) {
      // The socket takes nothing now: wait until it does.
      WaitForTransport([this](int waitMs) { return ioHandler_->Writable(waitMs); }, kNoTimeLimit);
      continue;
    }
    closedByPeer_ = result == 0;
    CheckClosed(true, false);
    if (stack.CheckForSocketError(result,
                                  {socket_errors::kShutdown, socket_errors::kConnectionAborted,
                                   socket_errors::kConnectionReset})) {
      DropSocket();
      stack.RaiseSocketError(stack.LastError());
    }
    AdvanceWork(TWorkMode::wmWrite, result);
    sent += result;
  }
}

void TNetTCPConnection::WriteText(const std::string& text) {
  if (!text.empty()) WriteBytes(text.data(), static_cast<int>(text.size()));
}

void TNetTCPConnection::WriteLine(const std::string& text) {
  WriteText(text + "\r\n");
}

void TNetTCPConnection::WriteFromStream(TStream& stream, bool whole, bool withLength, int size) {
  if (whole) stream.SetPosition(0);
  const int64_t start = stream.Position();
  const int64_t end = size != 0 ? start + size : stream.Size();
  std::vector<char> block(static_cast<size_t>(std::max(SendBufferSize, 1)));
  if (withLength) {
    const uint32_t length = htonl(static_cast<uint32_t>(end - start));
    WriteBytes(&length, sizeof length);
  }
  StartWork(TWorkMode::wmWrite, end - start);
  WithCleanup(
      [&] {
        for (;;) {
          const int64_t k = std::min<int64_t>(end - stream.Position(), block.size());
          if (k <= 0) break;
          const int64_t read = stream.Read(block.data(), k);
          if (read == 0) throw ENetNoDataToRead("No data to read.");
          WriteBytes(block.data(), static_cast<int>(read));
        }
      },
      [&] { FinishWork(TWorkMode::wmWrite); });
}

void TNetTCPConnection::StartWriteBatch(int threshold) {
  if (writeBatch_) {
    writeBatch_->Clear();
  } else {
    writeBatch_ = std::make_unique<TNetSimpleBuffer>();
  }
  writeBatchThreshold_ = threshold;
}

void TNetTCPConnection::FlushWriteBatch(int count) {
  if (!writeBatch_ || writeBatch_->Size() == 0) return;
  if (count != -1 && writeBatch_->Size() >= count) {
    WriteBytes(writeBatch_->Memory(), count, true);
    writeBatch_->Remove(count);
  } else {
    WriteBytes(writeBatch_->Memory(), static_cast<int>(writeBatch_->Size()), true);
    writeBatch_->Clear();
  }
}

void TNetTCPConnection::FinishWriteBatch() {
  WithCleanup([&] { FlushWriteBatch(-1); }, [&] { writeBatch_.reset(); });
}

void TNetTCPConnection::ClearWriteBatch() {
  if (writeBatch_) writeBatch_->Clear();
}

void TNetTCPConnection::CancelWriteBatch() {
  ClearWriteBatch();
  FinishWriteBatch();
}
