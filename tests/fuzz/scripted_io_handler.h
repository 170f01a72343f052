#pragma once
// A transport that serves given bytes as everything the server sends, in
// pieces of a given size, and swallows what the client sends. Each connect
// goes on where the last connection stopped; at the end the server has closed.

#include <algorithm>
#include <cstring>
#include <string_view>

#include "io_handler.h"
#include "net_exceptions.h"

class ScriptedIOHandler : public TNetIOHandler {
 public:
  ScriptedIOHandler(std::string_view reply, size_t pieceSize)
      : reply_(reply), pieceSize_(std::max<size_t>(pieceSize, 1)) {}

  void ConnectClient(const TNetConnectTarget&) override { open_ = true; }
  bool Connected() const override { return open_; }
  void Close() override {
    open_ = false;
    TNetIOHandler::Close();
  }
  bool Readable(int) override { return true; }
  int Recv(void* buffer, int length) override {
    if (!open_) throw ENetClosedSocket("Disconnected.");
    const size_t n = std::min({static_cast<size_t>(length), pieceSize_, reply_.size()});
    std::memcpy(buffer, reply_.data(), n);
    reply_.remove_prefix(n);
    return static_cast<int>(n);
  }
  int Send(const void*, int length) override {
    if (!open_) throw ENetClosedSocket("Disconnected.");
    return length;
  }

 private:
  std::string_view reply_;
  size_t pieceSize_;
  bool open_ = false;
};
