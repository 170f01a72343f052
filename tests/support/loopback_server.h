#pragma once
// A scripted TCP server on 127.0.0.1 and an ephemeral port, for network
// tests. Each connection plays a script on its own thread; every byte
// received is recorded. Every wait is bounded, and the destructor stops and
// joins all threads, so no test can hang on it.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

using Milliseconds = std::chrono::milliseconds;

class Script {
 public:
  struct Step {
    enum class Kind { kReadHead, kReadBytes, kSend, kPause, kClose, kReset, kStaySilent };
    Kind kind;
    std::string bytes;
    size_t count = 0;  // bytes to read, or the piece size of a send
    Milliseconds pause{0};
  };

  // Reads until a blank line ends a request head (and records it).
  Script& ReadHead();
  Script& ReadBytes(size_t count);
  Script& Send(std::string bytes);
  // Sends in pieces of pieceSize bytes with a pause after each but the last.
  Script& SendInPieces(std::string bytes, size_t pieceSize, Milliseconds pause);
  Script& Pause(Milliseconds pause);
  // Shuts down sending, takes in what the client still sends, then closes.
  Script& Close();
  // Closes with a reset (RST) instead of a graceful close.
  Script& Reset();
  // Sends nothing until the client closes, the server stops, or the time is up.
  Script& StaySilent(Milliseconds atMost = Milliseconds(10000));

  const std::vector<Step>& Steps() const { return steps_; }

 private:
  std::vector<Step> steps_;
};

class LoopbackServer {
 public:
  // Connection i plays scripts[i]; later connections play the last script.
  // Port 0 binds an ephemeral port.
  explicit LoopbackServer(std::vector<Script> scripts, int port = 0);
  explicit LoopbackServer(Script script) : LoopbackServer(std::vector<Script>{std::move(script)}) {}
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;
  ~LoopbackServer();

  int Port() const { return port_; }
  int Connections() const { return connections_.load(); }
  // Everything received, over all connections in order, or on one connection.
  std::string Received() const;
  std::string Received(int connection) const;
  // Wait (bounded) until `count` connections were accepted, or have ended
  // their scripts.
  bool WaitForConnections(int count, Milliseconds atMost = Milliseconds(5000)) const;
  bool WaitForFinishedConnections(int count, Milliseconds atMost = Milliseconds(5000)) const;

 private:
  void AcceptLoop();
  void Serve(int socket, int index);
  bool Play(int socket, int index, const Script::Step& step);
  bool ReadHead(int socket, int index);
  bool ReadBytes(int socket, int index, size_t count);
  bool SendAll(int socket, const std::string& bytes);
  bool Sleep(Milliseconds pause) const;
  // Waits for readable data within a bounded slice; false on stop or time-out.
  bool WaitReadable(int socket, Milliseconds atMost) const;
  int ReceiveSome(int socket, int index);
  void Drain(int socket, int index, Milliseconds atMost);

  std::vector<Script> scripts_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> connections_{0};
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  int finishedCount_ = 0;
  std::vector<std::string> received_;
  std::vector<std::thread> workers_;
  std::thread acceptor_;
};

}  // namespace testing_support
