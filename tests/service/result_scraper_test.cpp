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

TEST(ResultScraper, TheCountIsReadUpToItsTerminator) {
  const std::string marker = Utf8ToCp1251("<h3>Найдено: <b>");
  EXPECT_EQ(ReadMatchCount("x" + marker + "123</b>"), 123);
  EXPECT_EQ(ReadMatchCount(marker + "15805</b>"), 15805);
  EXPECT_EQ(ReadMatchCount(marker + "123456789</b>"), 123456789);
  EXPECT_THROW(ReadMatchCount(marker + "1234567890</b>"), EConvertError) << "at most 9 digits";
  EXPECT_THROW(ReadMatchCount(marker + "</b>"), std::exception) << "the first is always taken";
  EXPECT_THROW(ReadMatchCount("short"), std::exception);
  for (const char* notDecimal : {"$1F<", "0x1F"}) {
    EXPECT_THROW(ReadMatchCount(marker + notDecimal), EConvertError) << notDecimal;
  }
}

TEST(ResultScraper, PagesAreTheCountBy25RoundedUp) {
  for (const auto& [count, pages] :
       {std::pair{0, 0}, std::pair{1, 1}, std::pair{25, 1}, std::pair{26, 2}, std::pair{30, 2},
        std::pair{1000, 40}, std::pair{-3, 0}})
    EXPECT_EQ(PageCount(count), pages) << count;
}

// Each track takes the title and the link behind its own marker, within
// their windows, and only from its own part of the page.
TEST(ResultScraper, EachTrackReadsOnlyItsOwnPartOfThePage) {
  const auto song = [](int id, const std::string& inside) {
    return "<div class=\"audioSong\" file=\"" + std::to_string(id) + "\">" + inside;
  };
  const struct {
    std::string page;
    Rows rows;
  } cases[] = {
      {"<a url=\"leading\"></a>" +
           song(1, "<i title=\"One\"></i><b url=\"http://h/1\"></b></div>") +
           song(2,
                "<i title=\"Two &amp; &#1075;&#x433; &nbsp;\"></i><b "
                "url=\"http://h/2?a=1&amp;b=2\">"),
       {{"One", "http://h/1"}, {"Two & \xE3\xE3 &nbsp;", "http://h/2?a=1&b=2"}}},
      {song(1, "<i title=\"No link\"></i></div>") + song(2, "<b url=\"http://h/2\"></b></div>") +
           song(3, "<i title=\"Three\"></i><b url=\"http://h/3\"></b>"),
       {{"", "http://h/2"}, {"Three", "http://h/3"}}},
      {song(1, "<i title=\"\"></i><b url=\"http://h/1\"></b>") +
           song(2, "<i title=\"Empty link\"></i><b url=\"\"></b>"),
       {{"", "http://h/1"}}},
      {"<div class=\"audioSong\" file=\"1\" title=\"" + std::string(150, 't') + "\"><b url=\"" +
           std::string(100, 'l') + "\"></b>",
       {{std::string(100, 't'), std::string(75, 'l')}}},
      {"<html>url=\"x\" title=\"y\"</html>", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(Scrape(c.page), c.rows) << c.page.substr(0, 60);
}

TEST(ResultScraper, CharacterReferences) {
  EXPECT_EQ(DecodeCharacterReferences("&lt;&gt;&quot;&#39;&amp;amp;"), "<>\"'&amp;");
  EXPECT_EQ(DecodeCharacterReferences("&#20320; &bogus; & ;&#;"), "&#20320; &bogus; & ;&#;");
  EXPECT_EQ(DecodeCharacterReferences("a&#0;b&#9;c&#10;d&#x1F;"), "a&#0;b&#9;c&#10;d&#x1F;");
}

}  // namespace
