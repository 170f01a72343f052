#include "service_config.h"

#include <gtest/gtest.h>

namespace {

// A result page's link, as every client that fetches it must read it.
TEST(ServiceConfig, ATrackLinkIsReadAgainstTheCataloguePage) {
  TServiceConfig config;
  config.port = 8080;
  const std::vector<std::pair<std::string, std::string>> links = {
      {"http://cdn.example/t/1.mp3", "http://cdn.example/t/1.mp3"},
      {"HTTP://cdn.example/1.mp3", "HTTP://cdn.example/1.mp3"},
      {"ftp://cdn.example/1.mp3", "ftp://cdn.example/1.mp3"},
      {"//cdn.example/1.mp3", "http://cdn.example/1.mp3"},
      {"/tracks/1.mp3", "http://localhost:8080/tracks/1.mp3"},
      {"tracks/1.mp3", "http://localhost:8080/mail/melodrop/tracks/1.mp3"},
      {"../1.mp3", "http://localhost:8080/mail/melodrop/../1.mp3"},
      {"a/b:c.mp3", "http://localhost:8080/mail/melodrop/a/b:c.mp3"},
      {"1:2.mp3", "http://localhost:8080/mail/melodrop/1:2.mp3"},
      {"?track=1", "http://localhost:8080/mail/melodrop/audio?track=1"},
      {"", ""},
  };
  for (const auto& [link, url] : links) EXPECT_EQ(TrackURL(config, link), url) << link;
}

}  // namespace
