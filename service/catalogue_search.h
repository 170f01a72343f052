#pragma once
// Find: turns the search box's text into catalogue page requests and fills
// the title list and the link list from the result pages.

#include "http_client.h"
#include "main_window_view.h"
#include "service_config.h"

class TCatalogueSearch {
 public:
  TCatalogueSearch(TNetHTTP& http, TMainWindowView& view, const TServiceConfig& config)
      : http_(http), view_(view), config_(config) {}

  // Runs a whole search; every failure ends it with a message, never an
  // exception. Returns whether the pages were fetched and read as result
  // pages: false when a request failed, the count was no number, or a
  // result page held no track (a page of the portal's that is no result
  // page fails like a first page without a count).
  bool Find();

  int MatchCount() const { return matchCount_; }

 private:
  // Whether every result page held a track.
  bool FetchAndScrape();

  TNetHTTP& http_;
  TMainWindowView& view_;
  const TServiceConfig& config_;
  std::string phrase_;
  int matchCount_ = 0;
};
