#pragma once
// Reading the catalogue's result pages by fixed text markers: the match
// count of the first page and each track's title and link. Nothing is
// parsed as HTML. Texts are Windows-1251.

#include <functional>
#include <string>
#include <string_view>

namespace result_scraper {

constexpr int kTracksPerPage = 25;

// The decimal number behind the count marker, up to its "<" (from position
// 16 when the marker is missing); raises "'%s' is not a valid integer
// value" when it is none or longer than 9 digits.
int ReadMatchCount(std::string_view page);
// Whether the page carries the count marker: a result page, not the
// portal's page for a visitor without a session.
bool HasMatchCount(std::string_view page);

// Result pages to fetch for a match count: the count / 25, rounded up.
int PageCount(int matchCount);

// Calls track(title, link) for each track marker of the page, in order,
// each value searched for in the track's own part of the page, from its
// marker to the next: the title from the title attribute within its first
// 200 characters (empty when there is none), the link from the first url=".
// A track without a link is left out. Character references are decoded.
void ScrapeTracks(
    std::string_view page,
    const std::function<void(const std::string& title, const std::string& link)>& track);

// "&amp;", "&lt;", "&gt;", "&quot;", "&#39;" and numeric references to
// characters that Windows-1251 has, control characters excepted; any other
// text stays as it stands.
std::string DecodeCharacterReferences(std::string_view text);

}  // namespace result_scraper
