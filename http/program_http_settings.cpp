#include "program_http_settings.h"

#include "http_client.h"

void ApplyProgramHTTPSettings(TNetHTTP& http, int port) {
  http.SetPort(port);
  http.ProtocolVersion = TNetHTTPProtocolVersion::pv1_1;
  http.HTTPOptions = {TNetHTTPOption::hoForceEncodeParams};
  http.HandleRedirects = true;
  http.RedirectMaximum = 15;
  http.AuthRetries = 3;
  http.AllowCookies = true;
  http.MaxLineAction = TNetMaxLineAction::maException;
  http.ReadTimeout = kProgramReadTimeoutMs;
  http.Request().ContentType = "text/html";
  http.Request().Accept = "text/html, */*";
  http.Request().UserAgent = "Mozilla/3.0 (compatible; Melodrop Library)";
}
