#pragma once
// Find: turns the search box's text into catalogue page requests and fills
// the title list and the link list from the result pages.

#include "http_client.h"
#include "main_window_view.h"
#include "portal_session.h"
#include "service_config.h"

class TCatalogueSearch {
 public:
  // A search lists no more rows than this: a count that lies (up to nine
  // digits) and pages that never run dry would otherwise fill the memory.
  static constexpr int kMostRows = 100000;

  // With a session, a first page that is no result page (the portal lost
  // the login) gets one new login through it, and the search runs again.
  TCatalogueSearch(TNetHTTP& http, TMainWindowView& view, const TServiceConfig& config,
                   TPortalSession* session = nullptr)
      : http_(http), view_(view), config_(config), session_(session) {}

  // Runs a whole search; every failure ends it with a message, never an
  // exception. Returns whether the pages were fetched and read as result
  // pages: false when a request failed, the count was no number, or a
  // result page held no track (a page of the portal's that is no result
  // page fails like a first page without a count). No page is fetched
  // after one without a track. A request that fails
  // on the connection says so ("Ошибка подключения, попробуйте позже"), one
  // the portal answers with an error status tells the status ("Сервер
  // ответил ошибкой: HTTP/1.1 500 ..."); when rows were listed, either says
  // that the search was cut off, keeping the rows.
  bool Find();

  int MatchCount() const { return matchCount_; }

 private:
  // Whether every result page held a track; stops at the first that held none.
  bool FetchAndScrape();
  std::string FirstPage();
  // The first track's title and link in the found-name and link fields.
  void ShowFirstTrack();
  // The caption, and the failure, or the cut-off when rows were listed.
  bool EndWithFailure(const std::string& caption, const std::string& failure);

  TNetHTTP& http_;
  TMainWindowView& view_;
  const TServiceConfig& config_;
  TPortalSession* session_;
  std::string phrase_;
  int matchCount_ = 0;
};
