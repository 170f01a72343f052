#pragma once
// The running download as one line of text, in the window's status bar and
// on the terminal: "2 из 5 · 12,3 из 45,6 МБ · 2,1 МБ/с · осталось 0:15"
// (Windows-1251, the Russian decimal comma, megabytes of 2^20 bytes;
// kilobytes of 2^10 below a megabyte).

#include <cstdint>
#include <string>

struct TDownloadProgress {
  int position = 1;      // the running track, from 1
  int count = 1;         // the tracks of the batch
  int64_t received = 0;  // bytes
  int64_t total = -1;    // -1 while unknown
  double bytesPerSecond = 0;
};

// The parts that cannot be known yet are left out: the total, the speed
// before a byte came, the time left without either. A narrow place may
// leave out the speed, and keep the time left that it gives.
enum class TSpeedShown { kYes, kNo };
std::string DownloadProgressLine(const TDownloadProgress& progress,
                                 TSpeedShown speedShown = TSpeedShown::kYes);

// "12,3 МБ", below a megabyte "47,5 КБ" (Windows-1251).
std::string SizeText(int64_t bytes);
