#include "catalogue.h"

#include <fstream>
#include <optional>
#include <stdexcept>

#include "cp1251.h"
#include "integer_text.h"

namespace {

// Lower case of a Windows-1251 byte: ASCII, А-Я and Ё.
char Lower(char c) {
  const unsigned char b = static_cast<unsigned char>(c);
  if (b >= 'A' && b <= 'Z') return static_cast<char>(b + 32);
  if (b >= 0xC0 && b <= 0xDF) return static_cast<char>(b + 32);
  if (b == 0xA8) return static_cast<char>(0xB8);
  return c;
}

std::string Lowered(const std::string& s) {
  std::string result = s;
  for (char& c : result) c = Lower(c);
  return result;
}

}  // namespace

PortalCatalogue PortalCatalogue::Generated(int count) {
  // Invented for the demo; some with "&", "/", "'", "," and quotes.
  static const char* const kArtists[] = {"Северный Ветер", "Бумажные Журавли", "Полярная Ночь",
                                         "Лунный Трамвай", "Синие Киты",       "Glass Owls",
                                         "Velvet Harbour", "Neon Orchard",     "Salt & Pepper Club",
                                         "Tin/Copper",     "Ёлочные Огни",     "Ре-Минор",
                                         "Quiet Comets",   "Rocks N' Pebbles", "Sand, Sea & Sky"};
  static const char* const kSongs[] = {"Дорога домой",       "Звезда над крышей",
                                       "Рок-н-ролл",         "Свет в окне",
                                       "Copper Morning",     "Velvet Thunder",
                                       "Come As You Were",   "Rock & Roll",
                                       "Road to Saltwater",  "Искры",
                                       "Письмо капитану",    "\"Live\" <Remix>",
                                       "Прогулки по крышам", "Glass Harbour",
                                       "Late October"};
  PortalCatalogue catalogue;
  for (int i = 0; i < count; ++i) {
    const std::string title = std::string(kArtists[i % 15]) + " - " + kSongs[(i / 15) % 15] +
                              (i >= 225 ? " (" + std::to_string(i / 225) + ")" : "");
    catalogue.Add(Utf8ToCp1251(title), 40000 + (i * 7919) % 200000);
  }
  return catalogue;
}

PortalCatalogue PortalCatalogue::FromFile(const std::string& path) {
  std::ifstream file(path);
  if (!file) throw std::runtime_error("cannot read " + path);
  PortalCatalogue catalogue;
  std::string line;
  for (int number = 1; std::getline(file, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    // A line that is not a title and a size would otherwise be left out,
    // or end the portal with a bare conversion message.
    const size_t tab = line.rfind('\t');
    const std::optional<int64_t> size =
        tab == std::string::npos ? std::nullopt : ParseByteCount(line.substr(tab + 1));
    if (!size) {
      throw std::runtime_error(path + ", line " + std::to_string(number) +
                               ": not a title, a tab and a size in bytes");
    }
    catalogue.Add(Utf8ToCp1251(line.substr(0, tab)), *size);
  }
  return catalogue;
}

void PortalCatalogue::Add(const std::string& cp1251Title, int64_t size) {
  tracks_.push_back({static_cast<int>(tracks_.size()) + 1, cp1251Title, size});
  loweredTitles_.push_back(Lowered(cp1251Title));
}

std::vector<const PortalTrack*> PortalCatalogue::Search(const std::string& phrase) const {
  const std::string wanted = Lowered(phrase);
  std::vector<const PortalTrack*> found;
  for (std::size_t i = 0; i < tracks_.size(); ++i)
    if (loweredTitles_[i].find(wanted) != std::string::npos) found.push_back(&tracks_[i]);
  return found;
}

const PortalTrack* PortalCatalogue::Find(int id) const {
  return id >= 1 && id <= static_cast<int>(tracks_.size()) ? &tracks_[id - 1] : nullptr;
}
