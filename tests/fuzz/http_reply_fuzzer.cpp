// Fuzzed bytes as everything a server answers: one or several responses on
// one connection, read by Get-to-string and Get-into-stream.

#include <cstddef>
#include <cstdint>
#include <exception>

#include "http_client.h"
#include "program_http_settings.h"
#include "scripted_io_handler.h"
#include "streams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const size_t pieceSize = 1 + data[0] % 64;
  const bool intoStream = data[0] & 64;
  ScriptedIOHandler transport(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1),
                              pieceSize);
  TNetHTTP http;
  ApplyProgramHTTPSettings(http);
  http.SetIOHandler(&transport);
  for (int call = 0; call < 3; ++call) {
    try {
      if (intoStream) {
        TMemoryStream stream;
        http.Get("http://fuzz.example/page?x=1", stream);
      } else {
        http.Get("http://fuzz.example/page?x=1");
      }
    } catch (const std::exception&) {
      // Every failure is an exception with a message; that is all we ask here.
    }
  }
  return 0;
}
