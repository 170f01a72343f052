#pragma once
// A message made of parts that keep their kind until the one conversion
// that shows them: program texts are Windows-1251 and their own line breaks
// are line breaks; texts from the network are Windows-1251 with their
// control bytes escaped; paths and the system's reasons are the system's
// bytes (UTF-8), never read as Windows-1251.

#include <stdexcept>
#include <string>
#include <vector>

class TMessage {
 public:
  enum class TKind { kProgram, kNetwork, kSystem };
  struct TPart {
    TKind kind;
    std::string bytes;
  };

  TMessage() = default;
  // A message of one program text.
  explicit TMessage(std::string programText) { Program(std::move(programText)); }

  TMessage& Program(std::string cp1251);
  TMessage& Network(std::string cp1251);
  TMessage& System(std::string bytes);
  TMessage& Append(const TMessage& other);

  const std::vector<TPart>& Parts() const { return parts_; }
  // The message as a window or a terminal shows it, in UTF-8.
  std::string Utf8() const;

 private:
  std::vector<TPart> parts_;
};

// An exception whose message is built from parts of more than one kind.
class TMessageCarrier {
 public:
  virtual ~TMessageCarrier() = default;
  virtual TMessage Message() const = 0;
};

// An exception with a message of parts; what() is the message in UTF-8.
class EMessage : public std::runtime_error, public TMessageCarrier {
 public:
  explicit EMessage(TMessage message)
      : std::runtime_error(message.Utf8()), message_(std::move(message)) {}
  TMessage Message() const override { return message_; }

 private:
  TMessage message_;
};

// The message of any exception: a carrier's own, else what() as one
// program text.
TMessage MessageOf(const std::exception& error);

// The path with its folder resolved, then the system's reason: "\"PATH\". REASON".
TMessage QuotedPathAndReason(const std::string& path, int error);
