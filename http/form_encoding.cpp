#include "form_encoding.h"

#include <cstring>

#include "text.h"

std::string EncodeFormValue(const std::string& value) {
  std::string encoded;
  for (char c : value) {
    const unsigned char byte = static_cast<unsigned char>(c);
    // "&", "=" and "+" too, so that a value can never split the form or change its meaning.
    if (byte < 0x21 || byte >= 0x80 || std::strchr("#%*<>[]&=+", c) != nullptr) {
      encoded += text::PercentEncoded(byte);
    } else {
      encoded += c;
    }
  }
  return encoded;
}

void EncodeFormFields(std::vector<std::string>& fields) {
  for (std::string& field : fields) {
    const size_t equals = field.find('=');
    if (equals == std::string::npos || equals + 1 == field.size()) continue;
    field = field.substr(0, equals + 1) + EncodeFormValue(field.substr(equals + 1));
  }
}

std::string FormBody(const std::vector<std::string>& fields) {
  std::string body;
  for (const std::string& field : fields) body += field + "\r\n";
  body = text::Trim(body);
  if (fields.size() >= 2) {
    for (size_t at = body.find("\r\n"); at != std::string::npos; at = body.find("\r\n", at + 1)) {
      body.replace(at, 2, "&");
    }
  }
  return body;
}
