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
    const uint64_t storedBefore = StoredCookies();
    http_.Post(LoginURL(config_), form);
    // A page that sets no session cookie is no session, whatever its status;
    // a cookie of an earlier session does not make one.
    if (!CatalogueCookieStoredAfter(storedBefore)) throw std::runtime_error("no session cookie");
    view_.SetCaption(kConnected);
    // The search works again after a failed start, whatever enabled it before.
    view_.SetSearchBoxEnabled(true);
    view_.SetSearchButtonEnabled(true);
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

uint64_t TPortalSession::StoredCookies() {
  TNetCookieManager* cookies = http_.CookieManager();
  return cookies ? cookies->StoredCount() : 0;
}

bool TPortalSession::CatalogueCookieStoredAfter(uint64_t storedCount) {
  TNetCookieManager* cookies = http_.CookieManager();
  return cookies &&
         !cookies->CookieTextSince(config_.catalogueHost, CataloguePath(config_), storedCount)
              .empty();
}

void TPortalSession::Logout() {
  view_.SetCaption(kDisconnecting);
  http_.Get(LogoutURL(config_));
}

void TPortalSession::Reconnect() {
  Logout();
  Connect();
}

void TPortalSession::Close() {
  if (connected_) Logout();
}
