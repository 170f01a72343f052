// Searches against the substitute portal, and against scripted pages for
// what the portal never sends.

#include "catalogue_search.h"

#include <gtest/gtest.h>

#include "../http/http_test_helpers.h"
#include "portal_pages.h"
#include "portal_server.h"
#include "portal_session.h"
#include "view_double.h"

namespace {

using namespace testing_support;
using Effects = std::vector<std::string>;

PortalCatalogue TestCatalogue() {
  PortalCatalogue catalogue;
  const auto add = [&](const std::string& utf8Title, int times) {
    for (int i = 0; i < times; ++i) {
      catalogue.Add(Utf8ToCp1251(utf8Title + (times > 1 ? " " + std::to_string(i + 1) : "")),
                    1000 + i);
    }
  };
  add("Single Song", 1);
  add("Twelve Bar Blues", 12);
  add("Quarter Note", 25);
  add("Twenty Six", 26);
  add("Thousand Voices", 1000);
  add("Ёлка - Прованс", 3);
  add("Rock & Roll <Live>", 2);
  add("Prelude in C# minor", 1);
  add("1+1 \"Together\"", 1);
  return catalogue;
}

Effects Finished(int count) {
  return {"caption Поиск файла...", "caption Скачивание музыки с портала", "link field on",
          "message Поиск завершен, найдено " + std::to_string(count) + " Файлов",
          "caption Скачивание музыки с портала"};
}

const Effects kNotFound = {"caption Поиск файла...", "caption Файл не найден",
                           "message Файл не найден", "download buttons off", "title list off"};

class CatalogueSearchTest : public ::testing::Test {
 protected:
  CatalogueSearchTest() : portal({}, TestCatalogue()) {
    ApplyProgramHTTPSettings(http, portal.Server().Port());
    config.port = portal.Server().Port();
    TPortalSession(http, view, config).Connect();
    view.effects.clear();
  }

  void Search(const std::string& utf8Phrase) {
    view.searchText = Utf8ToCp1251(utf8Phrase);
    TCatalogueSearch(http, view, config).Find();
  }

  // Every row: the title and the link of the track the portal has for it.
  void ExpectRowsMatchTheCatalogue(const std::string& utf8Phrase) {
    const auto found = portal.Server().Catalogue().Search(Utf8ToCp1251(utf8Phrase));
    ASSERT_EQ(view.Titles().size(), found.size());
    ASSERT_EQ(view.Links().size(), found.size());
    const std::string origin = "http://localhost:" + std::to_string(portal.Server().Port());
    for (size_t i = 0; i < found.size(); ++i) {
      EXPECT_EQ(view.Titles()[i], found[i]->title) << i;
      EXPECT_EQ(view.Links()[i], origin + "/tracks/" + std::to_string(found[i]->id) + ".mp3") << i;
    }
    EXPECT_EQ(view.foundName, view.Titles().front());
    EXPECT_EQ(view.linkText, view.Links().front());
  }

  int CatalogueRequests() {
    int count = 0;
    for (const PortalRequest& request : portal.Server().RequestLog()) {
      count += request.target.find("/audio?") != std::string::npos;
    }
    return count;
  }

  BackgroundPortal portal;
  TNetHTTP http;
  TServiceConfig config;
  ViewDouble view;
};

TEST_F(CatalogueSearchTest, MatchCountsAroundThePageSize) {
  Search("nothing like this");
  EXPECT_EQ(view.effects, kNotFound);
  EXPECT_EQ(CatalogueRequests(), 1);
  for (const auto& [phrase, count, pages] :
       {std::tuple{"single song", 1, 1}, std::tuple{"twelve bar", 12, 1},
        std::tuple{"quarter note", 25, 1}, std::tuple{"twenty six", 26, 2},
        std::tuple{"thousand", 1000, 40}, std::tuple{"ёлка", 3, 1}}) {
    view.effects.clear();
    const int before = CatalogueRequests();
    Search(phrase);
    EXPECT_EQ(view.effects, Finished(count)) << phrase;
    EXPECT_EQ(CatalogueRequests() - before, 1 + pages) << phrase;
    ExpectRowsMatchTheCatalogue(phrase);
  }
}

TEST_F(CatalogueSearchTest, AmpersandHashAndPlusSearchForThemselves) {
  Search("rock & roll");
  ExpectRowsMatchTheCatalogue("rock & roll");
  EXPECT_EQ(view.Titles().front(), "Rock & Roll <Live> 1") << "entities decoded";
  Search("c# minor");
  ExpectRowsMatchTheCatalogue("c# minor");
  Search("1+1 \"");
  ExpectRowsMatchTheCatalogue("1+1 \"");
  EXPECT_NE(portal.Server().RequestLog().back().target.find("search=1%2B1+%22"), std::string::npos);
}

// A portal that lost the login gets one quiet new one; only a login that
// fails shows its box.
TEST_F(CatalogueSearchTest, ALostLoginIsRenewedOnce) {
  TPortalSession session(http, view, config);
  for (const char* password : {"qwertyuiop", "wrong"}) {
    config.password = password;
    http.Get(LogoutURL(config));
    view.effects.clear();
    view.searchText = Utf8ToCp1251("thousand");
    const bool found = TCatalogueSearch(http, view, config, &session).Find();
    EXPECT_EQ(found, session.Connected());
    EXPECT_EQ(std::count(view.effects.begin(), view.effects.end(), "caption Подключено"),
              found ? 1 : 0);
    EXPECT_EQ(std::count(view.effects.begin(), view.effects.end(),
                         "message Ошибка подключения, попробуйте позже"),
              found ? 0 : 1);
    if (found) ExpectRowsMatchTheCatalogue("thousand");
  }
}

// Scripted pages: what the portal never sends.
class ScriptedSearchTest : public ::testing::Test {
 protected:
  void Search(LoopbackServer& server) {
    ApplyProgramHTTPSettings(http, server.Port());
    config.port = server.Port();
    view.searchText = "x";
    TCatalogueSearch(http, view, config).Find();
  }
  static std::string Track(int id) {
    return "<div class=\"audioSong\" file=\"" + std::to_string(id) + "\"><span title=\"T" +
           std::to_string(id) + "\"></span><a url=\"http://h/" + std::to_string(id) +
           ".mp3\"></a></div>";
  }
  static std::string Page(const std::string& body) {
    return Reply("200 OK", body, "Content-Type: text/html; charset=windows-1251\r\n");
  }
  // A first page that says how many tracks match.
  static std::string CountPage(const std::string& count) {
    return Page(Utf8ToCp1251("<h3>Найдено: <b>" + count + "</b></h3>"));
  }

  TNetHTTP http;
  TServiceConfig config;
  ViewDouble view;
};

TEST_F(ScriptedSearchTest, AFirstPageWithoutTheMarkerIsReadFromPosition16) {
  LoopbackServer server(Script()
                            .ReadHead()
                            .Send(Page("<html><title>xx15<b></title>"))
                            .ReadHead()
                            .Send(Page(Track(1) + Track(2))));
  Search(server);
  EXPECT_EQ(view.effects.back(), "caption Скачивание музыки с портала");
  EXPECT_EQ(view.Titles(), (std::vector<std::string>{"T1", "T2"}));
  EXPECT_EQ(view.Links(), (std::vector<std::string>{"http://h/1.mp3", "http://h/2.mp3"}));
}

TEST_F(ScriptedSearchTest, ACountThatIsNoNumberEndsWithTheClosingMessage) {
  LoopbackServer server(Script().ReadHead().Send(CountPage("abc")));
  Search(server);
  EXPECT_EQ(view.effects, (Effects{"caption Поиск файла...", "caption Скачивание музыки с портала",
                                   "message Поиск завершен, найдено 0 Файлов"}));
}

TEST_F(ScriptedSearchTest, AStopDuringAPageEndsTheSearchWithTheRowsSoFar) {
  std::string second;
  for (int id = 26; id <= 50; ++id) second += Track(id) + std::string(2000, ' ');
  LoopbackServer server(Script()
                            .ReadHead()
                            .Send(Page(Utf8ToCp1251("<h3>Найдено: <b>60</b></h3>") + Track(1)))
                            .ReadHead()
                            .Send(Page(Track(1) + Track(2)))
                            .ReadHead()
                            .SendInPieces(Page(second), 1000, Milliseconds(20))
                            .StaySilent());
  int bodies = 0;
  http.OnWorkBegin = [&](TNetComponent*, TWorkMode, int64_t) { ++bodies; };
  http.OnWork = [&](TNetComponent*, TWorkMode, int64_t) {
    // "Остановить поиск" runs inside the progress event of the third page.
    if (bodies == 3) view.pendingCommand = [&] { http.Disconnect(); };
    view.ProcessMessages();
  };
  Search(server);
  EXPECT_EQ(view.effects.back(), "message Поиск прерван, показано 2 из 60 Файлов");
  EXPECT_EQ(view.Titles(), (std::vector<std::string>{"T1", "T2"}));
}

// An error status is the portal's answer, not a lost connection: the box
// tells it, or that the search was cut off when rows were listed.
TEST_F(ScriptedSearchTest, AnErrorStatusIsToldAsTheServersAnswer) {
  const std::string failed = Reply("500 Internal Server Error", "");
  LoopbackServer first(Script().ReadHead().Send(failed));
  Search(first);
  EXPECT_EQ(view.effects, (Effects{"caption Поиск файла...", "caption Скачивание музыки с портала",
                                   "download buttons off", "title list off",
                                   "message Сервер ответил ошибкой: HTTP/1.1 500 Internal Server "
                                   "Error"}));
  view.effects.clear();
  LoopbackServer later(Script()
                           .ReadHead()
                           .Send(CountPage("60"))
                           .ReadHead()
                           .Send(Page(Track(1) + Track(2)))
                           .ReadHead()
                           .Send(failed));
  Search(later);
  EXPECT_EQ(view.effects[1], "caption Скачивание музыки с портала");
  EXPECT_EQ(view.effects.back(), "message Поиск прерван, показано 2 из 60 Файлов");
}

// A count that lies and pages that never run dry: the list stops at 100000
// rows and says it was cut off.
TEST_F(ScriptedSearchTest, ASearchListsAtMostAHundredThousandRows) {
  std::string tracks;
  for (int id = 1; id <= 100001; ++id) tracks += Track(id);
  LoopbackServer server(
      Script().ReadHead().Send(CountPage("999999999")).ReadHead().Send(Page(tracks)).StaySilent());
  Search(server);
  EXPECT_EQ(view.TitleCount(), 100000);
  EXPECT_EQ(view.effects.back(), "message Поиск прерван, показано 100000 из 999999999 Файлов");
}

// A count that lies and pages that run dry: no page is fetched after the
// first without a track.
TEST_F(ScriptedSearchTest, NoPageIsFetchedAfterOneWithoutATrack) {
  LoopbackServer server(Script()
                            .ReadHead()
                            .Send(CountPage("999999999"))
                            .ReadHead()
                            .Send(Page(Track(1) + Track(2)))
                            .ReadHead()
                            .Send(Page("<html>no more</html>"))
                            .ReadHead()
                            .Send(Page(Track(3))));
  Search(server);
  EXPECT_EQ(view.Titles(), (std::vector<std::string>{"T1", "T2"}));
  EXPECT_EQ(view.effects.end()[-2], "message Поиск завершен, найдено 999999999 Файлов");
}

// A page that ends before its length is no complete search: its rows stay,
// and the box tells how many of how many are listed.
TEST_F(ScriptedSearchTest, APageCutShortEndsTheSearchAsCutOff) {
  const std::string whole = Page(Track(1) + Track(2) + Track(3));
  LoopbackServer server(Script()
                            .ReadHead()
                            .Send(CountPage("60"))
                            .ReadHead()
                            .Send(whole.substr(0, whole.find(Track(3)) + 10)));
  Search(server);
  EXPECT_EQ(view.Titles(), (std::vector<std::string>{"T1", "T2"}));
  EXPECT_EQ(view.effects.back(), "message Поиск прерван, показано 2 из 60 Файлов");
}

}  // namespace
