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
  // exception. Returns whether the pages were fetched and read (whatever
  // they held): false when a request failed or the count was no number.
  bool Find();

  int MatchCount() const { return matchCount_; }

 private:
  void FetchAndScrape();

  TNetHTTP& http_;
  TMainWindowView& view_;
  const TServiceConfig& config_;
  std::string phrase_;
  int matchCount_ = 0;
};
