#pragma once
// Reading the catalogue's result pages by fixed text markers: the match
// count of the first page and each track's title and link. Nothing is
// parsed as HTML. Texts are Windows-1251.

#include <functional>
#include <string>
#include <string_view>

namespace result_scraper {

constexpr int kTracksPerPage = 25;

// The number behind the count marker (from position 16 when the marker is
// missing); raises "'%s' is not a valid integer value" when it is none.
int ReadMatchCount(std::string_view page);

// Result pages to fetch for a match count: the count / 25, rounded up.
int PageCount(int matchCount);

// Calls track(title, link) for each track marker of the page, in order: the
// title from the track's title attribute, the link from the first url="
// behind the track's own marker, both with character references decoded.
void ScrapeTracks(
    std::string_view page,
    const std::function<void(const std::string& title, const std::string& link)>& track);

// "&amp;", "&lt;", "&gt;", "&quot;", "&#39;" and numeric references to
// characters that Windows-1251 has; any other text stays as it stands.
std::string DecodeCharacterReferences(std::string_view text);

}  // namespace result_scraper
