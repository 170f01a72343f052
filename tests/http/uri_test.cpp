#include <gtest/gtest.h>

#include "uri.h"

namespace {

struct UriCase {
  std::string text;
  std::string protocol, username, password, host, port, path, document, params, bookmark;
};

TEST(URI, SplitsIntoItsParts) {
  const UriCase cases[] = {
      {"http://host/a/b/audio?search=x+y\xCF\xF0", "http", "", "", "host", "", "/a/b/", "audio",
       "?search=x+y\xCF\xF0", ""},
      {"http://host:8080", "http", "", "", "host", "8080", "/", "", "", ""},
      {"http://user:pw:x@host/doc", "http", "user", "pw:x", "host", "", "/", "doc", "", ""},
      {"http://:pw@host/", "http", "", "", "host", "", "/", "", "", ""},
      {"http://host/p?search=ab#c", "http", "", "", "host", "", "/", "p", "?search=ab", "c"},
      {"http://host/doc#top?x", "http", "", "", "host", "", "/", "doc", "?x", "top"},
      {"http://host/dir\\sub\\doc?a=b\\c", "http", "", "", "host", "", "/dir/sub/", "doc", "?a=b/c",
       ""},
      {"http://host/a/b=c/d", "http", "", "", "host", "", "/a/", "b", "=c/d", ""},
      {"/mail/user/audio?search=x", "", "", "", "", "", "/mail/user/", "audio", "?search=x", ""},
      {"next", "", "", "", "", "", "", "next", "", ""},
      {"?page=2#x", "", "", "", "", "", "", "", "?page=2", "x"},
      {"", "", "", "", "", "", "", "", "", ""},
  };
  for (const UriCase& c : cases) {
    const TNetURI uri(c.text);
    SCOPED_TRACE(c.text);
    EXPECT_EQ(uri.Protocol, c.protocol);
    EXPECT_EQ(uri.Username, c.username);
    EXPECT_EQ(uri.Password, c.password);
    EXPECT_EQ(uri.Host, c.host);
    EXPECT_EQ(uri.Port, c.port);
    EXPECT_EQ(uri.Path, c.path);
    EXPECT_EQ(uri.Document, c.document);
    EXPECT_EQ(uri.Params, c.params);
    EXPECT_EQ(uri.Bookmark, c.bookmark);
  }
}

TEST(URI, ResolvesPathsAgainstABase) {
  const struct {
    const char* base;
    const char* path;
    const char* result;
  } cases[] = {
      {"/a/b/", "/x/", "/x/"},        {"/a/b/", "", "/a/b/"},    {"/a/b/", "c/", "/a/b/c/"},
      {"/a/b/", "../c/", "/a/c/"},    {"/a/b", "c/", "/a/b/c/"}, {"/a//b/", "", "/a/b/"},
      {"/a/b/", "./c/", "/a/b/./c/"}, {"/", "../../x/", "/x/"},  {"", "", "/"},
      {"/a/", "b", "/a/b"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TNetURI::ResolvePath(c.base, c.path), c.result) << c.base << " + " << c.path;
  }
}

}  // namespace
