#pragma once
// How the program configures its one HTTP client.

class TNetHTTP;

// A server that sends no byte for this long fails the request ("Read
// Timeout"); every byte that comes starts the count again.
constexpr int kProgramReadTimeoutMs = 60000;

// Redirects handled, content type "text/html", HTTP/1.1, cookies on, the
// read time-out above, the given port; every other value stays at its
// class default.
void ApplyProgramHTTPSettings(TNetHTTP& http, int port = 80);
