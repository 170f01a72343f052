#include "portal_session.h"

#include <vector>

#include "service_texts.h"

using namespace service_texts;

void TPortalSession::Connect() {
  view_.SetCaption(kConnecting);
  view_.ShowWindow();
  try {
    std::vector<std::string> form = {"Login=" + config_.user, "Domain=" + config_.domain,
                                     "Password=" + config_.password};
    http_.Post(LoginURL(config_, http_.Port()), form);
    // A page that sets no session cookie is no session, whatever its status.
    if (!HoldsCatalogueCookie()) throw std::runtime_error("no session cookie");
    view_.SetCaption(kConnected);
    view_.SetSearchBoxEnabled(true);
    connected_ = true;
  } catch (const std::exception&) {
    view_.ShowMessage(kConnectionFailed);
    view_.SetCaption(kConnectionFailed);
    view_.SetSearchBoxEnabled(false);
    view_.SetLinkFieldEnabled(false);
    view_.SetSearchButtonEnabled(false);
    view_.SetTitleListEnabled(false);
    connected_ = false;
  }
}

bool TPortalSession::HoldsCatalogueCookie() {
  TNetCookieManager* cookies = http_.CookieManager();
  return cookies &&
         !cookies->GenerateCookieList(config_.catalogueHost, CataloguePath(config_), false).empty();
}

void TPortalSession::Logout() {
  view_.SetCaption(kDisconnecting);
  http_.Get(LogoutURL(config_, http_.Port()));
}

void TPortalSession::Reconnect() {
  Logout();
  Connect();
}

void TPortalSession::Close() {
  if (connected_) Logout();
}
