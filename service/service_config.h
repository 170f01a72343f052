#pragma once
// The configuration of the portal service, in one place, and the portal
// URLs built from it.

#include <string>

struct TServiceConfig {
  std::string loginHost = "localhost";
  std::string catalogueHost = "localhost";
  std::string playerHost = "localhost";
  // The service account; the user name is also the catalogue's path segment.
  std::string user = "melodrop";
  std::string domain = "portal.local";
  std::string password = "qwertyuiop";
  // The Port setting. The HTTP client's own port follows each request's URL,
  // so the portal URLs are built from this one.
  int port = 80;
};

// The portal URLs: "http://" + host, ":" + port when the port is not 80, path.
std::string LoginURL(const TServiceConfig& config);
std::string LogoutURL(const TServiceConfig& config);
// The directory of the catalogue pages, as the cookie store sees it.
std::string CataloguePath(const TServiceConfig& config);
// page 0: the first page, which carries the match count.
std::string CataloguePageURL(const TServiceConfig& config, const std::string& phrase, int page);

// A track's link as a result page gave it, made whole against that page:
// a link with a scheme stays, "//host/..." gets "http:", "/..." the
// catalogue's origin, any other the catalogue's folder. Every client that
// fetches it (the window's, a batch's own) then asks the same server.
std::string TrackURL(const TServiceConfig& config, const std::string& link);

// The web player for a track: "/r/my/player3.swf?ver=4&file=" + the link,
// encoded as a query value, so that "&", "#" or spaces in it stay in the link.
std::string PlayerURL(const TServiceConfig& config, const std::string& link);

// The search phrase for the query: spaces become "+", every byte that is not
// a letter, a digit, "-", "_", "." or "~" becomes "%" and two hex digits.
std::string EncodeSearchPhrase(const std::string& phrase);
