#include "portal_pages.h"

#include "cp1251.h"

namespace portal_pages {

namespace {

std::string Page(const std::string& title, const std::string& body) {
  return Utf8ToCp1251("<html><head><meta charset=\"windows-1251\"><title>" + title +
                      "</title></head><body>\n") +
         body + "</body></html>\n";
}

}  // namespace

std::string EscapeAttribute(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '\'':
        escaped += "&#39;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

std::string ResultPage(const std::vector<const PortalTrack*>& found, int page, bool withCount,
                       const std::string& origin) {
  std::string body;
  if (withCount) {
    body += Utf8ToCp1251("<h3>Найдено: <b>") + std::to_string(found.size()) + "</b></h3>\n";
  }
  body += "<div class=\"player\" url=\"" + origin + "/r/my/player3.swf\"></div>\n";
  const size_t first = static_cast<size_t>(page - 1) * kTracksPerPage;
  for (size_t i = first; i < found.size() && i < first + kTracksPerPage; ++i) {
    const PortalTrack& track = *found[i];
    const std::string title = EscapeAttribute(track.title);
    body += "<div class=\"audioSong\" file=\"" + std::to_string(track.id) +
            "\"><span class=\"title\" title=\"" + title + "\">" + title +
            "</span> <a class=\"download\" url=\"" + origin + "/tracks/" +
            std::to_string(track.id) + ".mp3\">mp3</a></div>\n";
  }
  return Page("Аудио", body);
}

std::string LoginDonePage() {
  return Page("Вход", Utf8ToCp1251("<p>Вы вошли.</p>\n"));
}

std::string LoginFailedPage() {
  return Page("Вход", Utf8ToCp1251("<p class=\"error\">Неверное имя или пароль.</p>\n"));
}

std::string LoginFormPage() {
  return Page("Вход",
              Utf8ToCp1251("<form method=\"post\" action=\"/cgi-bin/auth\">"
                           "<input name=\"Login\"><input name=\"Domain\">"
                           "<input name=\"Password\" type=\"password\"><button>Войти</button>"
                           "</form>\n"));
}

std::string PlayerPage(const std::string& link) {
  return Page("Плеер", "<audio controls autoplay src=\"" + EscapeAttribute(link) + "\"></audio>\n");
}

}  // namespace portal_pages
