#pragma once
// The substitute portal's audio catalogue: tracks with Windows-1251 titles
// and file sizes, generated or loaded from a file.

#include <cstdint>
#include <string>
#include <vector>

struct PortalTrack {
  int id = 0;
  std::string title;  // Windows-1251
  int64_t size = 0;   // bytes of the MP3 file
};

class PortalCatalogue {
 public:
  // A deterministic catalogue of `count` tracks by invented artists,
  // Russian and English titles, some with "&", "<", ">" and quotes.
  static PortalCatalogue Generated(int count = 3000);
  // One track per line: UTF-8 title, TAB, size in bytes.
  static PortalCatalogue FromFile(const std::string& path);

  // Adds a track with the next id.
  void Add(const std::string& cp1251Title, int64_t size);

  // Tracks whose title holds the phrase, letter case ignored (Cyrillic too).
  std::vector<const PortalTrack*> Search(const std::string& phrase) const;
  const PortalTrack* Find(int id) const;
  const std::vector<PortalTrack>& Tracks() const { return tracks_; }

 private:
  std::vector<PortalTrack> tracks_;
  // The titles in lower case, for a search per result page.
  std::vector<std::string> loweredTitles_;
};
