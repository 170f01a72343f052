#pragma once
// The logged-in portal session: nothing but the cookies the login sets,
// which the HTTP client keeps, and a connected flag.

#include "http_client.h"
#include "main_window_view.h"
#include "service_config.h"

class TPortalSession {
 public:
  TPortalSession(TNetHTTP& http, TMainWindowView& view, const TServiceConfig& config)
      : http_(http), view_(view), config_(config) {}

  // Logs in with the service account. A login counts only when its own
  // responses set a cookie the client would send to the catalogue; every
  // failure shows
  // "Ошибка подключения, попробуйте позже" and disables the search controls.
  void Connect();
  // "Переподключение": logs out (failures reach the caller), then Connect.
  void Reconnect();
  // At the close of the main window: logs out when connected.
  void Close();

  bool Connected() const { return connected_; }

 private:
  void Logout();
  uint64_t StoredCookies();
  // Whether a cookie stored after that count goes to the catalogue.
  bool CatalogueCookieStoredAfter(uint64_t storedCount);

  TNetHTTP& http_;
  TMainWindowView& view_;
  const TServiceConfig& config_;
  bool connected_ = false;
};
