// Fuzzed bytes as a catalogue result page: the match count, the page count
// and every track's title and link, with their character references.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>

#include "result_scraper.h"

namespace {

size_t Count(std::string_view text, std::string_view what) {
  size_t found = 0;
  for (size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, at + 1))
    ++found;
  return found;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view page(reinterpret_cast<const char*>(data), size);
  try {
    const int matches = result_scraper::ReadMatchCount(page);
    if (result_scraper::PageCount(matches) < 0) std::abort();
  } catch (const std::exception&) {
    // A count that is no number ends a search; nothing more to check.
  }
  size_t tracks = 0;
  result_scraper::ScrapeTracks(page, [&](const std::string& title, const std::string& link) {
    ++tracks;
    // Each value comes from its fixed window, and decoding never lengthens it.
    if (title.size() > 100 || link.size() > 75) std::abort();
  });
  if (tracks > Count(page, "<div class=\"audioSong\" file=\"")) std::abort();
  const std::string decoded = result_scraper::DecodeCharacterReferences(page);
  if (decoded.size() > page.size()) std::abort();
  return 0;
}
