#include "cli_command.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "../http/http_test_helpers.h"
#include "../settings/temp_folder.h"
#include "cp1251.h"
#include "portal_pages.h"
#include "portal_server.h"
#include "terminal_progress.h"

namespace {

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

CliRun RunCli(const std::vector<std::string>& args, bool progressBar = false) {
  std::ostringstream out, err;
  const int status = RunCliCommand(args, out, err, progressBar);
  return {status, out.str(), err.str()};
}

TEST(CliCommand, SearchPrintsCaptionsMessagesAndRows) {
  BackgroundPortal portal({}, PortalCatalogue::Generated(300));
  const std::string port = std::to_string(portal.Server().Port());
  const CliRun run = RunCli({"--port", port, "search", "нет такой песни"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "[Подключение к серверу...]\n[Подключено]\n[Поиск файла...]\n[Файл не найден]\n> Файл "
            "не найден\n"
            "[Отключение от сервера...]\n");
  const CliRun found = RunCli({"--port", port, "search", "Rock & Roll"});
  EXPECT_NE(found.out.find("Северный Ветер - Rock & Roll\thttp://localhost:" + port +
                           "/tracks/106.mp3\n"),
            std::string::npos)
      << found.out;

  const CliRun help = RunCli({"-h"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.starts_with("usage: melodrop-cli ")) << help.out;
  // Wrong arguments: why, when the usage alone does not say, then the usage.
  const std::vector<std::pair<std::vector<std::string>, std::string>> refused{
      {{"search"}, ""},
      {{"get", "x", "1", ""}, "get takes a file or folder name, not nothing"},
      {{"setting", "", "Port", "80"}, "setting takes a file name, not nothing"},
      {{"fetch", "x"}, "no command \"fetch\""},
      {{"get", "x", "0", "f"}, "\"0\" is no row: rows count from 1"},
      {{"get", "x", "3-1,\x1b", "f"},
       "\"3-1,\\x1b\" names no rows: rows count from 1 to 100000, as in 1,3,5-7, or all"},
      {{"--port", "70000", "search", "x"}, "--port takes a number from 1 to 65535"},
  };
  for (const auto& [args, why] : refused) {
    const CliRun run = RunCli(args);
    EXPECT_EQ(run.status, 2) << args[0];
    EXPECT_EQ(run.err, (why.empty() ? "" : "melodrop-cli: " + why + "\n") + help.out) << args[0];
  }
  const CliRun missing = RunCli({"--port", port, "get", "северный", "999", "/dev/null"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "no row 999\n");

  std::ostream refusing(nullptr);
  std::ostringstream err;
  EXPECT_EQ(RunCliCommand({"--port", port, "search", "Rock"}, refusing, err, false), 1)
      << "a listing that reached no file is no success";
  EXPECT_EQ(err.str(), "Cannot write the output.\n");
}

TEST(CliCommand, SettingWritesOneKeyAndNoLineOfItsOwn) {
  testing_support::TempFolder folder;
  const std::string file = folder.File("Settings.cfg");
  EXPECT_EQ(RunCli({"setting", file, "Port", "8080"}).status, 0);
  for (const auto& [key, value] : std::vector<std::pair<std::string, std::string>>{
           {"Port", "1\n[EVIL]\nX=1"}, {"Po=rt", "1"}, {"[EVIL]", "1"}, {"", "1"}, {"A\rB", "1"}}) {
    EXPECT_EQ(RunCli({"setting", file, key, value}).status, 2) << key << "=" << value;
  }
  EXPECT_EQ(testing_support::ReadBytes(file), "[MAIN]\r\nPort=8080\r\n");
}

TEST(CliCommand, GetDownloadsTheRowIntoTheFileChunkedToo) {
  PortalOptions options;
  options.chunked = true;
  PortalCatalogue catalogue;
  const int64_t size = 200000;  // chunks of 65536 bytes
  catalogue.Add(Utf8ToCp1251("Кино - Группа крови"), size);
  BackgroundPortal portal(options, catalogue);
  const std::string path = ::testing::TempDir() + "melodrop_cli_test.mp3";
  const CliRun run =
      RunCli({"--port", std::to_string(portal.Server().Port()), "get", "кино", "1", path}, true);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.err.starts_with("\r1 из 1 · ")) << run.err;
  EXPECT_TRUE(run.err.ends_with("\r\x1b[K")) << "the progress line goes when the file is whole";
  EXPECT_EQ(run.err.find('\n'), std::string::npos) << run.err;
  std::ifstream file(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), {});
  EXPECT_EQ(static_cast<int64_t>(bytes.size()), size);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFB") << "an MPEG audio frame";
  std::remove(path.c_str());
  // A path and the system's reason reach the terminal as the system's bytes.
  testing_support::TempFolder folder;
  testing_support::WriteBytes(folder.File("Файл"), "");
  // Told before the login: no search runs for a file that cannot be.
  const CliRun refused = RunCli({"--port", std::to_string(portal.Server().Port()), "get", "кино",
                                 "1", folder.File("Файл/песня")});
  EXPECT_EQ(refused.err,
            "Cannot create file \"" + folder.File("Файл/песня") + "\". Not a directory\n");
  EXPECT_EQ(refused.out, "");
  EXPECT_EQ(RunCli({"--port", std::to_string(portal.Server().Port()), "get", "кино", "1",
                    folder.File("Нет/песня")})
                .err,
            "Cannot create file \"" + folder.File("Нет/песня") + "\". No such file or directory\n");
  // The system's reason in the user's language, where the machine has it.
  locale_t russian = newlocale(LC_MESSAGES_MASK, "ru_RU.UTF-8", nullptr);
  if (russian == nullptr) GTEST_SKIP() << "no ru_RU.UTF-8 locale here";
  freelocale(russian);
  const auto printedInRussian = [](const std::string& command) {
    std::string printed(512, '\0');
    FILE* tool = popen(
        ("env -u LC_ALL -u LC_MESSAGES LANG=ru_RU.UTF-8 " + command + " 2>&1 >/dev/null").c_str(),
        "r");
    printed.resize(std::fread(printed.data(), 1, printed.size(), tool));
    pclose(tool);
    return printed;
  };
  const std::string port = std::to_string(portal.Server().Port());
  const std::string target = "'" + folder.File("Файл/песня") + "'";
  EXPECT_EQ(printedInRussian(MELODROP_CLI " --port " + port + " get кино 1 " + target),
            "Cannot create file \"" + folder.File("Файл/песня") + "\". Это не каталог\n");
  const std::string link = "http://127.0.0.1:" + port + "/tracks/1.mp3";
  EXPECT_EQ(printedInRussian(MELODROP_GET " -o " + target + " " + link),
            link + ": Cannot create " + folder.File("Файл/песня") + ": Это не каталог\n");
}

// On a slow link the line shows the bytes that have come before the
// client's first block of the body is whole.
TEST(CliCommand, TheProgressLineCountsEveryByteThatCame) {
  testing_support::LoopbackServer slow(
      testing_support::Script()
          .ReadHead()
          .Send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n")
          .Pause(std::chrono::milliseconds(100))
          .Send(std::string(1000, 'm'))
          .StaySilent(std::chrono::seconds(30)));
  TNetHTTP http;
  std::ostringstream err;
  struct ELineSeen {};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  http.OnIdle = [&](TNetComponent*) {
    if (err.str().find("1 из 1 · 1,0 из 97,7 КБ") != std::string::npos) throw ELineSeen{};
    if (std::chrono::steady_clock::now() > deadline) throw std::runtime_error(err.str());
  };
  TMemoryStream body;
  TTerminalProgress progress(http, err);
  EXPECT_THROW(http.Get(testing_support::BaseURL(slow) + "/t.mp3", body), ELineSeen);
}

TEST(CliCommand, GetRowsSavesEachIntoTheFolderUnderItsTitleWithTheProgressLine) {
  PortalCatalogue catalogue;
  catalogue.Add(Utf8ToCp1251("Кино / Группа крови"), 3000);
  catalogue.Add(Utf8ToCp1251("Кино / Группа крови"), 2000);
  catalogue.Add(Utf8ToCp1251("Кино - Звезда"), 1000);
  BackgroundPortal portal({}, catalogue);
  const std::string port = std::to_string(portal.Server().Port());
  testing_support::TempFolder folder;
  const CliRun run = RunCli({"--port", port, "get", "кино", "3,1-3", folder.File("")}, true);
  EXPECT_EQ(run.status, 0) << run.err;
  const std::string saved = "saved Кино / Группа крови to " + folder.File("");
  EXPECT_NE(run.out.find("saved Кино - Звезда to " + folder.File("Кино - Звезда.mp3\n") + saved +
                         "Кино _ Группа крови.mp3\n" + saved + "Кино _ Группа крови (2).mp3\n"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.err.find("3 из 3 · "), std::string::npos) << run.err;
  EXPECT_EQ(testing_support::ReadBytes(folder.File("Кино _ Группа крови (2).mp3")).size(), 2000u);

  EXPECT_EQ(RunCli({"--port", port, "get", "кино", "all", folder.File("")}).status, 0);
  EXPECT_EQ(testing_support::ReadBytes(folder.File("Кино - Звезда (2).mp3")).size(), 1000u);
  const CliRun missing = RunCli({"--port", port, "get", "кино", "1,4", folder.File("")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "no row 4\n");
  EXPECT_EQ(RunCli({"get", "кино", "2-1", folder.File("")}).status, 2) << "no such list";

  EXPECT_EQ(RunCli({"--port", port, "get", "кино", "3", folder.File("Новая/")}).status, 0);
  EXPECT_EQ(testing_support::ReadBytes(folder.File("Новая/Кино - Звезда.mp3")).size(), 1000u)
      << "a missing folder is made";
  const CliRun notAFolder =
      RunCli({"--port", port, "get", "кино", "all", folder.File("Кино - Звезда.mp3")});
  EXPECT_EQ(notAFolder.status, 1);
  EXPECT_EQ(notAFolder.err,
            "Cannot create folder \"" + folder.File("Кино - Звезда.mp3") + "\". Not a directory\n")
      << "once, not once per row";
  EXPECT_EQ(notAFolder.out, "") << "before the login";
}

// A batch goes on past a track that fails, and names it with its failure.
TEST(CliCommand, AFailedTrackOfABatchIsNamedWithWhyAndTheOthersAreSaved) {
  using namespace testing_support;
  PortalCatalogue catalogue;
  catalogue.Add(Utf8ToCp1251("Пропавшая"), 1);
  catalogue.Add("Kept", 1);
  LoopbackServer tracks({Script()
                             .ReadHead()
                             .Send(Reply("404 Not Found", ""))
                             .ReadHead()
                             .Send(Reply("200 OK", "kept"))});
  std::vector<const PortalTrack*> found;
  for (const PortalTrack& track : catalogue.Tracks()) found.push_back(&track);
  const auto page = [&](bool first) {
    return Reply("200 OK", portal_pages::ResultPage(found, 1, first, BaseURL(tracks)));
  };
  LoopbackServer portal({Script().ReadHead().Send(Reply(
                             "200 OK", "", "Set-Cookie: Mpop=1; path=/\r\nConnection: close\r\n")),
                         Script()
                             .ReadHead()
                             .Send(page(true))
                             .ReadHead()
                             .Send(page(false))
                             .ReadHead()
                             .Send(Reply("200 OK", ""))});
  TempFolder folder;
  const CliRun run =
      RunCli({"--port", std::to_string(portal.Port()), "get", "x", "all", folder.File("")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "Пропавшая: HTTP/1.1 404 Not Found\n");
  EXPECT_EQ(ReadBytes(folder.File("Kept.mp3")), "kept");
}

// A page may link its tracks relative to itself: each client of a batch
// then asks the portal for them, as the window's own client would.
TEST(CliCommand, ABatchFetchesRelativeLinksFromThePortal) {
  using namespace testing_support;
  PortalCatalogue catalogue;
  catalogue.Add("One", 1);
  catalogue.Add("Two", 1);
  std::vector<const PortalTrack*> found;
  for (const PortalTrack& track : catalogue.Tracks()) found.push_back(&track);
  std::string listed = portal_pages::ResultPage(found, 1, false, "");
  listed.replace(listed.find("/tracks/2.mp3"), 1, "");
  LoopbackServer portal(
      {Script().ReadHead().Send(
           Reply("200 OK", "", "Set-Cookie: Mpop=1; path=/\r\nConnection: close\r\n")),
       Script()
           .ReadHead()
           .Send(Reply("200 OK", portal_pages::ResultPage(found, 1, true, "")))
           .ReadHead()
           .Send(Reply("200 OK", listed))
           .ReadHead()
           .Send(Reply("200 OK", "")),
       Script().ReadHead().Send(Reply("200 OK", "1")).ReadHead().Send(Reply("200 OK", "2"))});
  TempFolder folder;
  const CliRun run =
      RunCli({"--port", std::to_string(portal.Port()), "get", "x", "all", folder.File("")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadBytes(folder.File("Two.mp3")), "2");
  const std::string asked = portal.Received(2);
  EXPECT_NE(asked.find("GET /tracks/1.mp3 HTTP/1.1"), std::string::npos) << asked;
  EXPECT_NE(asked.find("GET /mail/melodrop/tracks/2.mp3 HTTP/1.1"), std::string::npos) << asked;
}

// Garbage where a result page should be fails the search alike, on the
// first page (no count) and on a later one (no track).
TEST(CliCommand, ASearchFailsAlikeWhicheverPageWasGarbage) {
  using namespace testing_support;
  const std::string login =
      Reply("200 OK", "in", "Set-Cookie: Mpop=1; path=/\r\nConnection: close\r\n");
  const std::string garbage = Reply("200 OK", "<html>\x01\xff no page here</html>");
  const std::string counted = Reply("200 OK", Utf8ToCp1251("<h3>Найдено: <b>30</b></h3>"));
  const std::string logout = Reply("200 OK", "out");
  const std::vector<std::vector<std::string>> pages = {
      {garbage}, {counted, garbage, garbage}, {Reply("500 Internal Server Error", "")}};
  for (const std::vector<std::string>& replies : pages) {
    Script catalogue;
    for (const std::string& reply : replies) catalogue.ReadHead().Send(reply);
    LoopbackServer portal({Script().ReadHead().Send(login), catalogue.ReadHead().Send(logout)});
    const CliRun run = RunCli({"--port", std::to_string(portal.Port()), "search", "x"});
    EXPECT_EQ(run.status, 1) << replies.size();
    EXPECT_NE(run.out.find("[Подключено]\n"), std::string::npos) << "the login was accepted";
  }
}

// Each track is one "title TAB link" line, whatever its title holds.
TEST(CliCommand, TitlesReachTheTerminalWithTheirControlCharactersEscaped) {
  const std::vector<std::pair<std::string, std::string>> titles = {
      {"Evil\ttab", "Evil\\ttab"},
      {"Evil\r\nnew line", "Evil\\r\\nnew line"},
      {"Evil \x1b]0;retitled\x07", "Evil \\x1b]0;retitled\\x07"},
      {"Evil \x1b[2Jclear", "Evil \\x1b[2Jclear"},
      {std::string("Evil nul\0", 9), "Evil nul\\x00"},
      {"Evil del\x7f", "Evil del\\x7f"},
  };
  PortalCatalogue catalogue;
  for (const auto& [title, shown] : titles) catalogue.Add(title, 100);
  BackgroundPortal portal({}, catalogue);
  const std::string port = std::to_string(portal.Server().Port());
  const CliRun run = RunCli({"--port", port, "search", "evil"});
  EXPECT_EQ(run.status, 0);
  for (size_t i = 0; i < titles.size(); ++i) {
    const std::string line = titles[i].second + "\thttp://localhost:" + port + "/tracks/" +
                             std::to_string(i + 1) + ".mp3\n";
    EXPECT_NE(run.out.find("\n" + line), std::string::npos) << titles[i].second;
  }
  for (const unsigned char c : run.out)
    EXPECT_TRUE(c == '\t' || c == '\n' || (c >= 0x20 && c != 0x7f));
}

}  // namespace
