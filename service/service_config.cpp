#include "service_config.h"

#include "text.h"

namespace {

// "http://" + host, with ":" + port when the port is not 80.
std::string PortalOrigin(const std::string& host, int port) {
  return "http://" + host + (port != 80 ? ":" + std::to_string(port) : "");
}

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
  const std::string base =
      PortalOrigin(config.catalogueHost, config.port) + CataloguePath(config) + "audio?";
  const std::string search = "search=" + EncodeSearchPhrase(phrase);
  return page == 0 ? base + search : base + "page=" + std::to_string(page) + "&" + search;
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
