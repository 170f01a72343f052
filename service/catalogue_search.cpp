#include "catalogue_search.h"

#include "result_scraper.h"
#include "service_texts.h"

using namespace service_texts;

bool TCatalogueSearch::Find() {
  view_.ClearLinks();
  view_.ClearTitles();
  view_.SetFoundName("");
  view_.SetLinkText("");
  view_.SetCaption(kSearching);
  phrase_ = view_.SearchText();
  matchCount_ = 0;
  bool everyPageHeldTracks = false;
  try {
    everyPageHeldTracks = FetchAndScrape();
  } catch (const std::exception&) {
    // A failed request, a stop, a count that is no number: the rows so far stay.
    view_.SetCaption(kIdle);
    view_.ShowMessage(SearchFinished(matchCount_));
    return false;
  }
  if (view_.TitleCount() == 0 || view_.LinkCount() == 0) {
    // The caption tells the outcome, as after a search that found files.
    view_.SetCaption(kNotFound);
    view_.ShowMessage(kNotFound);
    view_.SetDownloadButtonsEnabled(false);
    view_.SetTitleListEnabled(false);
    return everyPageHeldTracks;
  }
  view_.SetFoundName(view_.Title(0));
  view_.SetLinkText(view_.Link(0));
  view_.SetCaption(kIdle);
  view_.SetLinkFieldEnabled(true);
  view_.ProcessMessages();
  view_.ShowMessage(SearchFinished(matchCount_));
  view_.SetCaption(kIdle);
  view_.ProcessMessages();
  return everyPageHeldTracks;
}

bool TCatalogueSearch::FetchAndScrape() {
  matchCount_ = result_scraper::ReadMatchCount(http_.Get(CataloguePageURL(config_, phrase_, 0)));
  const int pages = result_scraper::PageCount(matchCount_);
  bool everyPageHeldTracks = true;
  for (int page = 1; page <= pages; ++page) {
    const std::string body = http_.Get(CataloguePageURL(config_, phrase_, page));
    bool heldTracks = false;
    result_scraper::ScrapeTracks(body, [&](const std::string& title, const std::string& link) {
      heldTracks = true;
      view_.AddLink(link);
      view_.ProcessMessages();
      view_.AddTitle(title);
    });
    everyPageHeldTracks = everyPageHeldTracks && heldTracks;
  }
  return everyPageHeldTracks;
}
