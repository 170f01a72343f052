#include "result_scraper.h"

#include <gtest/gtest.h>

#include "cp1251.h"
#include "integer_text.h"

namespace {

using namespace result_scraper;
using Rows = std::vector<std::pair<std::string, std::string>>;

Rows Scrape(const std::string& page) {
  Rows rows;
  ScrapeTracks(page, [&](const std::string& title, const std::string& link) {
    rows.emplace_back(title, link);
  });
  return rows;
}

TEST(ResultScraper, TheCountStopsAtTheTerminatorWithinItsWindow) {
  const std::string marker = Utf8ToCp1251("<h3>Найдено: <b>");
  EXPECT_EQ(ReadMatchCount("x" + marker + "123</b>"), 123);
  EXPECT_EQ(ReadMatchCount(marker + "12345</b>"), 1234) << "a window of 4 characters";
  EXPECT_THROW(ReadMatchCount(marker + "</b>"), std::exception) << "the first is always taken";
  EXPECT_THROW(ReadMatchCount("short"), std::exception);
  for (const char* notDecimal : {"$1F<", "0x1F"}) {
    EXPECT_THROW(ReadMatchCount(marker + notDecimal), EConvertError) << notDecimal;
  }
}

TEST(ResultScraper, PagesAreTheCountBy25RoundedUp) {
  EXPECT_EQ(PageCount(0), 0);
  EXPECT_EQ(PageCount(1), 1);
  EXPECT_EQ(PageCount(25), 1);
  EXPECT_EQ(PageCount(26), 2);
  EXPECT_EQ(PageCount(30), 2);
  EXPECT_EQ(PageCount(1000), 40);
  EXPECT_EQ(PageCount(-3), 0);
}

TEST(ResultScraper, EachTrackTakesTheLinkBehindItsOwnMarker) {
  const std::string page =
      "<a url=\"leading\"></a>"
      "<div class=\"audioSong\" file=\"1\"><i title=\"One\"></i><b url=\"http://h/1\"></b></div>"
      "<div class=\"audioSong\" file=\"2\"><i title=\"Two &amp; &#1075;&#x433; &nbsp;\"></i>"
      "<b url=\"http://h/2?a=1&amp;b=2\"></b></div>";
  EXPECT_EQ(Scrape(page),
            (Rows{{"One", "http://h/1"}, {"Two & \xE3\xE3 &nbsp;", "http://h/2?a=1&b=2"}}));
}

TEST(ResultScraper, EachTrackReadsOnlyItsOwnPartOfThePage) {
  const std::string page =
      "<div class=\"audioSong\" file=\"1\"><i title=\"No link\"></i></div>"
      "<div class=\"audioSong\" file=\"2\"><b url=\"http://h/2\"></b></div>"
      "<div class=\"audioSong\" file=\"3\"><i title=\"Three\"></i><b url=\"http://h/3\"></b>";
  EXPECT_EQ(Scrape(page), (Rows{{"", "http://h/2"}, {"Three", "http://h/3"}}));
}

TEST(ResultScraper, WindowsCutLongValues) {
  const std::string longTitle(150, 't');
  const std::string longLink(100, 'l');
  const Rows rows = Scrape("<div class=\"audioSong\" file=\"1\" title=\"" + longTitle +
                           "\"><b url=\"" + longLink + "\"></b>");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].first, std::string(100, 't'));
  EXPECT_EQ(rows[0].second, std::string(75, 'l'));
}

TEST(ResultScraper, APageWithoutTrackMarkersHasNoRows) {
  EXPECT_TRUE(Scrape("<html>url=\"x\" title=\"y\"</html>").empty());
}

TEST(ResultScraper, CharacterReferences) {
  EXPECT_EQ(DecodeCharacterReferences("&lt;&gt;&quot;&#39;&amp;amp;"), "<>\"'&amp;");
  EXPECT_EQ(DecodeCharacterReferences("&#20320; &bogus; & ;&#;"), "&#20320; &bogus; & ;&#;");
  EXPECT_EQ(DecodeCharacterReferences("a&#0;b&#9;c&#10;d&#x1F;"), "a&#0;b&#9;c&#10;d&#x1F;");
}

}  // namespace
