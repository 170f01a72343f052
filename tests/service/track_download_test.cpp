// A track is saved only when it arrived whole.

#include "track_download.h"
#include "cp1251.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "../http/http_test_helpers.h"
#include "../settings/temp_folder.h"

namespace {

using namespace testing_support;

struct FetchCase {
  const char* name;
  std::string reply;    // then the server closes
  std::string outcome;  // the bytes, or "error: " and the message
};

const std::string kChunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";

const FetchCase kCases[] = {
    {"with its length", Reply("200 OK", "ID3 track"), "ID3 track"},
    {"shorter than its length", "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nhello",
     "error: Файл загружен не полностью: получено 5 из 10 байт."},
    {"chunked", kChunked + "5\r\nhello\r\n3\r\nabc\r\n0\r\n\r\n", "helloabc"},
    {"chunked, ended before its last chunk", kChunked + "5\r\nhello\r\nzz\r\n\r\n",
     "error: Файл загружен не полностью: сервер прервал передачу после 5 байт."},
    {"until the server closes", "HTTP/1.1 200 OK\r\n\r\nall of it", "all of it"},
};

TEST(TrackDownload, OnlyAWholeTrackIsFetched) {
  for (const FetchCase& c : kCases) {
    LoopbackServer server(Script().ReadHead().Send(c.reply).Close());
    auto http = ProgramClient();
    TMemoryStream buffer;
    std::string outcome;
    try {
      FetchTrack(*http, BaseURL(server) + "/t.mp3", buffer);
      outcome = Contents(buffer);
    } catch (const ETrackIncomplete& e) {
      outcome = "error: " + Cp1251ToUtf8(e.what());
    }
    EXPECT_EQ(outcome, c.outcome) << c.name;
  }
}

TEST(TrackDownload, SavingWritesTheWholeBufferOrSaysWhyNot) {
  TempFolder folder;
  TMemoryStream buffer;
  buffer.Write("\xFF\xFB\x90", 3);
  const std::string path = folder.File("song.mp3");
  WriteBytes(path, "an older and longer file");
  SaveTrack(buffer, path);
  EXPECT_EQ(ReadBytes(path), "\xFF\xFB\x90");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.File("")),
                          std::filesystem::directory_iterator()),
            1)
      << "the temporary file became the track";
  EXPECT_EQ(
      MessageOf([&] { SaveTrack(buffer, folder.File("missing/song.mp3")); }),
      "Cannot create file \"" + folder.File("missing/song.mp3") + "\". No such file or directory");
}

TEST(TrackDownload, MP3IsAppendedUnlessTheNameEndsSo) {
  const struct {
    const char* chosen;
    const char* saved;
  } cases[] = {{"song", "song.mp3"},       {"song.mp3", "song.mp3"}, {"SONG.Mp3", "SONG.Mp3"},
               {"song.mp", "song.mp.mp3"}, {"mp3", "mp3.mp3"},       {".mp3", ".mp3"}};
  for (const auto& c : cases) EXPECT_EQ(SavedTrackPath(c.chosen), c.saved) << c.chosen;
}

}  // namespace
