#pragma once
// How the program configures its one HTTP client.

class TNetHTTP;

// Redirects handled, content type "text/html", HTTP/1.1, cookies on, the
// given port; every other value stays at its class default.
void ApplyProgramHTTPSettings(TNetHTTP& http, int port = 80);
