#include "cookie_manager.h"

void TNetCookieManager::AddServerCookie(const std::string&, const std::string&) {}

void TNetCookieManager::AddServerCookie2(const std::string&, const std::string&) {}

std::string TNetCookieManager::GenerateCookieList(const std::string&, const std::string&, bool) {
  return "";
}
