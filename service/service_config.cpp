#include "service_config.h"

#include <cctype>

#include "text.h"

namespace {

// "http://" + host, with ":" + port when the port is not 80.
std::string PortalOrigin(const std::string& host, int port) {
  return "http://" + host + (port != 80 ? ":" + std::to_string(port) : "");
}

// Where the catalogue pages are: a track's relative link is read from there.
std::string CatalogueFolderURL(const TServiceConfig& config) {
  return PortalOrigin(config.catalogueHost, config.port) + CataloguePath(config);
}

constexpr char kSchemeCharacters[] =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+-.";

}  // namespace

std::string LoginURL(const TServiceConfig& config) {
  return PortalOrigin(config.loginHost, config.port) + "/cgi-bin/auth";
}

std::string LogoutURL(const TServiceConfig& config) {
  return PortalOrigin(config.loginHost, config.port) + "/cgi-bin/logout";
}

std::string CataloguePath(const TServiceConfig& config) {
  return "/mail/" + config.user + "/";
}

std::string CataloguePageURL(const TServiceConfig& config, const std::string& phrase, int page) {
  const std::string base = CatalogueFolderURL(config) + "audio?";
  const std::string search = "search=" + EncodeSearchPhrase(phrase);
  return page == 0 ? base + search : base + "page=" + std::to_string(page) + "&" + search;
}

std::string TrackURL(const TServiceConfig& config, const std::string& link) {
  const size_t schemeEnd = link.find(':');
  const bool hasScheme = schemeEnd != std::string::npos &&
                         std::isalpha(static_cast<unsigned char>(link[0])) &&
                         link.find_first_not_of(kSchemeCharacters) == schemeEnd;
  if (link.empty() || hasScheme) return link;
  if (link.starts_with("//")) return "http:" + link;
  if (link.front() == '/') return PortalOrigin(config.catalogueHost, config.port) + link;
  // A query or a fragment alone belongs to the page itself.
  if (link.front() == '?' || link.front() == '#')
    return CatalogueFolderURL(config) + "audio" + link;
  return CatalogueFolderURL(config) + link;
}

std::string PlayerURL(const TServiceConfig& config, const std::string& link) {
  return PortalOrigin(config.playerHost, config.port) +
         "/r/my/player3.swf?ver=4&file=" + EncodeSearchPhrase(link);
}

std::string EncodeSearchPhrase(const std::string& phrase) {
  std::string encoded;
  for (char c : phrase) {
    const unsigned char byte = static_cast<unsigned char>(c);
    const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                       (byte >= '0' && byte <= '9') || c == '-' || c == '_' || c == '.' || c == '~';
    if (c == ' ') {
      encoded += '+';
    } else if (plain) {
      encoded += c;
    } else {
      encoded += text::PercentEncoded(byte);
    }
  }
  return encoded;
}
