#pragma once
// The substitute portal's pages, in Windows-1251.

#include <string>
#include <vector>

#include "catalogue.h"

namespace portal_pages {

constexpr int kTracksPerPage = 25;

// "&", "<", ">", '"' and "'" as character references.
std::string EscapeAttribute(const std::string& text);

// Result page `page` (from 1) of the tracks found, each track marker with
// its title attribute and its own link behind it; the first page also says
// how many tracks were found.
std::string ResultPage(const std::vector<const PortalTrack*>& found, int page, bool withCount,
                       const std::string& origin);

std::string LoginDonePage();
std::string LoginFailedPage();
std::string LoginFormPage();
std::string PlayerPage(const std::string& link);

}  // namespace portal_pages
