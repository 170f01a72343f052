#include "uri.h"

#include <algorithm>

#include "text.h"

void TNetURI::SetURI(const std::string& uri) {
  *this = TNetURI();
  std::string text = uri;
  std::replace(text.begin(), text.end(), '\\', '/');

  std::string rest;
  const size_t scheme = text.find("://");
  const bool absolute = scheme != std::string::npos;
  if (absolute) {
    Protocol = text.substr(0, scheme);
    const std::string afterScheme = text.substr(scheme + 3);
    const size_t slash = afterScheme.find('/');
    std::string authority = afterScheme.substr(0, slash);
    rest = slash == std::string::npos ? "" : afterScheme.substr(slash + 1);
    const size_t at = authority.find('@');
    if (at != std::string::npos) {
      const std::string userInfo = authority.substr(0, at);
      const size_t colon = userInfo.find(':');
      Username = userInfo.substr(0, colon);
      if (!Username.empty() && colon != std::string::npos) Password = userInfo.substr(colon + 1);
      authority = authority.substr(at + 1);
    }
    const size_t colon = authority.find(':');
    Host = authority.substr(0, colon);
    if (colon != std::string::npos) Port = authority.substr(colon + 1);
  } else {
    rest = text;
  }

  size_t query = rest.find('?');
  if (query == std::string::npos) query = rest.find('=');
  const size_t pathEnd = rest.rfind('/', query == std::string::npos ? std::string::npos : query);
  const size_t documentStart = pathEnd == std::string::npos ? 0 : pathEnd + 1;
  Path = (absolute ? "/" : "") + rest.substr(0, documentStart);
  Document = rest.substr(documentStart,
                         query == std::string::npos ? std::string::npos : query - documentStart);
  if (query != std::string::npos) Params = rest.substr(query);

  if (absolute) {
    const size_t hash = Document.find('#');
    if (hash != std::string::npos) {
      Bookmark = Document.substr(hash + 1);
      Document.erase(hash);
    }
  }
  if (Bookmark.empty()) {
    const size_t hash = Params.find('#');
    if (hash != std::string::npos) {
      Bookmark = Params.substr(hash + 1);
      Params.erase(hash);
    }
  }
}

std::string TNetURI::ResolvePath(const std::string& base, const std::string& p) {
  if (!p.empty() && p[0] == '/') return p;
  std::string joined = base;
  if (joined.empty() || joined.back() != '/') joined += '/';
  joined += p;

  std::string result;
  for (size_t i = 0; i < joined.size();) {
    const char c = joined[i];
    if (c == '/') {
      if (result.empty() || result.back() != '/') result += '/';
      ++i;
    } else if (c == '.' && i + 1 < joined.size() && joined[i + 1] == '.' && !result.empty() &&
               result.back() == '/') {
      result.pop_back();
      while (!result.empty() && result.back() != '/') result.pop_back();
      i += 2;
    } else {
      result += c;
      ++i;
    }
  }
  if (!p.empty() && p.back() != '/' && !result.empty() && result.back() == '/') result.pop_back();
  return result;
}

std::string TNetURI::Target() const {
  std::string target;
  for (const char c : Path + Document + Params) {
    const auto byte = static_cast<unsigned char>(c);
    target += byte <= 0x20 || byte == 0x7F ? text::PercentEncoded(byte) : std::string(1, c);
  }
  return target;
}
