// Scraping a result page of 4,000 tracks (about 1 MB) against one of
// 40,000 (about 10 MB), and a hostile page of track markers without links
// at 1 MB against 4 MB: the time must grow with the page, not faster.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "cp1251.h"
#include "portal_pages.h"
#include "result_scraper.h"

namespace {

std::string PageOf(int tracks) {
  PortalCatalogue catalogue;
  for (int i = 0; i < tracks; ++i) {
    catalogue.Add(Utf8ToCp1251("Исполнитель " + std::to_string(i) + " - Rock & Roll"), 1000);
  }
  std::vector<const PortalTrack*> all;
  for (const PortalTrack& track : catalogue.Tracks()) all.push_back(&track);
  // One page holding every track: the scraper's cost per byte is what is measured.
  std::string page;
  for (size_t first = 0; first < all.size(); first += portal_pages::kTracksPerPage) {
    const std::vector<const PortalTrack*> slice(
        all.begin() + first,
        all.begin() + std::min(all.size(), first + portal_pages::kTracksPerPage));
    page += portal_pages::ResultPage(slice, 1, false, "http://localhost:8080");
  }
  return page;
}

// Nothing but track markers, none with a link: each track's search for its
// link would run to the end of the page if it were not bounded.
std::string HostilePageOf(size_t bytes) {
  const std::string track = "<div class=\"audioSong\" file=\"x\">";
  std::string page;
  while (page.size() < bytes) page += track;
  return page;
}

// The median of `rounds` timed scrapes of the page.
double SecondsToScrape(const std::string& page, int rounds) {
  std::vector<double> times;
  for (int i = 0; i < rounds; ++i) {
    const auto start = std::chrono::steady_clock::now();
    result_scraper::ScrapeTracks(page, [](const std::string&, const std::string&) {});
    times.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main() {
  const std::string small = PageOf(4000);
  const std::string large = PageOf(40000);
  SecondsToScrape(small, 3);  // warm-up
  const double smallSeconds = SecondsToScrape(small, 31);
  const double largeSeconds = SecondsToScrape(large, 11);
  std::printf("1 MB page (%zu bytes, 4000 tracks):   %.4f s\n", small.size(), smallSeconds);
  std::printf("10 MB page (%zu bytes, 40000 tracks): %.4f s\n", large.size(), largeSeconds);
  std::printf("ratio: %.2f (target <= 12)\n", largeSeconds / smallSeconds);
  const std::string hostileSmall = HostilePageOf(1 << 20);
  const std::string hostileLarge = HostilePageOf(4 << 20);
  const double hostileSmallSeconds = SecondsToScrape(hostileSmall, 11);
  const double hostileLargeSeconds = SecondsToScrape(hostileLarge, 5);
  std::printf("hostile 1 MB page (markers without links): %.4f s\n", hostileSmallSeconds);
  std::printf("hostile 4 MB page (markers without links): %.4f s\n", hostileLargeSeconds);
  std::printf("ratio: %.2f (linear: 4; target <= 6)\n", hostileLargeSeconds / hostileSmallSeconds);
  return 0;
}
