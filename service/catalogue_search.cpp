#include "catalogue_search.h"

#include "net_exceptions.h"
#include "result_scraper.h"
#include "service_texts.h"

using namespace service_texts;

namespace {

// A new login that failed: the session has shown it, the search ends.
struct ELoginFailed {};

// The limit reached: the search ends as cut off, with the rows listed.
struct ERowLimitReached {};

// A page the server cut short fails as a lost connection; the rows it held stay.
void FailWhenCut(TNetHTTP& http) {
  if (http.Response().BodyTruncated)
    throw ENetConnClosedGracefully("Connection Closed Gracefully.");
}

}  // namespace

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
  } catch (const ELoginFailed&) {
    return false;
  } catch (const ERowLimitReached&) {
    // Rows are listed, so the box tells how many of how many.
    return EndWithFailure(kIdle, "");
  } catch (const ENetHTTPProtocolException& refused) {
    // The portal answered, with an error: the connection is not at fault.
    return EndWithFailure(kIdle, ServerRefused(refused.what()));
  } catch (const ENetException&) {
    // A failed request or a stop: the rows so far stay.
    return EndWithFailure(kConnectionLost, kConnectionFailed);
  } catch (const std::exception&) {
    // A count that is no number.
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
  ShowFirstTrack();
  view_.SetCaption(kIdle);
  view_.SetLinkFieldEnabled(true);
  view_.ProcessMessages();
  view_.ShowMessage(SearchFinished(matchCount_));
  view_.SetCaption(kIdle);
  view_.ProcessMessages();
  return everyPageHeldTracks;
}

void TCatalogueSearch::ShowFirstTrack() {
  view_.SetFoundName(view_.Title(0));
  view_.SetLinkText(view_.Link(0));
}

bool TCatalogueSearch::EndWithFailure(const std::string& caption, const std::string& failure) {
  view_.SetCaption(caption);
  if (view_.TitleCount() == 0 || view_.LinkCount() == 0) {
    view_.SetDownloadButtonsEnabled(false);
    view_.SetTitleListEnabled(false);
    view_.ShowMessage(failure);
    return false;
  }
  ShowFirstTrack();
  view_.SetLinkFieldEnabled(true);
  view_.ProcessMessages();
  view_.ShowMessage(SearchCutOff(view_.TitleCount(), matchCount_));
  return false;
}

std::string TCatalogueSearch::FirstPage() {
  const std::string url = CataloguePageURL(config_, phrase_, 0);
  std::string page = http_.Get(url);
  FailWhenCut(http_);
  if (session_ == nullptr || result_scraper::HasMatchCount(page)) return page;
  // The portal answered as to a stranger: its login is gone.
  session_->Connect();
  if (!session_->Connected()) throw ELoginFailed();
  view_.SetCaption(kSearching);
  page = http_.Get(url);
  FailWhenCut(http_);
  return page;
}

bool TCatalogueSearch::FetchAndScrape() {
  matchCount_ = result_scraper::ReadMatchCount(FirstPage());
  const int pages = result_scraper::PageCount(matchCount_);
  for (int page = 1; page <= pages; ++page) {
    const std::string body = http_.Get(CataloguePageURL(config_, phrase_, page));
    bool heldTracks = false;
    result_scraper::ScrapeTracks(body, [&](const std::string& title, const std::string& link) {
      heldTracks = true;
      if (view_.TitleCount() >= kMostRows) return;
      view_.AddLink(TrackURL(config_, link));
      view_.ProcessMessages();
      view_.AddTitle(title);
    });
    FailWhenCut(http_);
    if (view_.TitleCount() >= kMostRows && matchCount_ > kMostRows) throw ERowLimitReached();
    // The portal's list ends at a page without a track: a count that says
    // more would cost a request for every page it claims, up to 40 million.
    if (!heldTracks) return false;
  }
  return true;
}
