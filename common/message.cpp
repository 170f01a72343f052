#include "message.h"

#include <cstring>

#include "cp1251.h"
#include "files.h"
#include "text.h"

namespace {

// A program text's own line ends, CR LF or LF, become one line break.
std::string WithLineBreaks(std::string_view text) {
  std::string broken;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    broken += text[i];
  }
  return broken;
}

// The length of the UTF-8 sequence at the start of the bytes, 0 when it is broken.
size_t Utf8SequenceLength(std::string_view bytes) {
  const auto lead = static_cast<unsigned char>(bytes[0]);
  size_t length = lead < 0x80                   ? 1
                  : lead >= 0xC2 && lead < 0xE0 ? 2
                  : lead >= 0xE0 && lead < 0xF0 ? 3
                  : lead >= 0xF0 && lead < 0xF5 ? 4
                                                : 0;
  if (length == 0 || length > bytes.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(bytes[i]) & 0xC0) != 0x80) return 0;
  }
  return length;
}

// The system's bytes as they stand where they are UTF-8; a broken byte
// shows as U+FFFD, a control byte as its escape.
std::string SystemText(std::string_view bytes) {
  std::string shown;
  while (!bytes.empty()) {
    const size_t length = Utf8SequenceLength(bytes);
    if (length == 0) {
      shown += "\xEF\xBF\xBD";
      bytes.remove_prefix(1);
    } else {
      shown += text::WithVisibleControls(bytes.substr(0, length));
      bytes.remove_prefix(length);
    }
  }
  return shown;
}

}  // namespace

TMessage& TMessage::Program(std::string cp1251) {
  parts_.push_back({TKind::kProgram, std::move(cp1251)});
  return *this;
}

TMessage& TMessage::Network(std::string cp1251) {
  parts_.push_back({TKind::kNetwork, std::move(cp1251)});
  return *this;
}

TMessage& TMessage::System(std::string bytes) {
  parts_.push_back({TKind::kSystem, std::move(bytes)});
  return *this;
}

TMessage& TMessage::Append(const TMessage& other) {
  parts_.insert(parts_.end(), other.parts_.begin(), other.parts_.end());
  return *this;
}

std::string TMessage::Utf8() const {
  std::string shown;
  for (const TPart& part : parts_) {
    switch (part.kind) {
      case TKind::kProgram:
        shown += Cp1251ToUtf8(WithLineBreaks(part.bytes));
        break;
      case TKind::kNetwork:
        shown += Cp1251ToUtf8(text::WithVisibleControls(part.bytes));
        break;
      case TKind::kSystem:
        shown += SystemText(part.bytes);
        break;
    }
  }
  return shown;
}

TMessage MessageOf(const std::exception& error) {
  if (const auto* carrier = dynamic_cast<const TMessageCarrier*>(&error)) return carrier->Message();
  return TMessage(error.what());
}

TMessage QuotedPathAndReason(const std::string& path, int error) {
  return TMessage("\"").System(FullPath(path)).Program("\". ").System(std::strerror(error));
}
