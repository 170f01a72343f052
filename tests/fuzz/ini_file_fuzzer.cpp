// Random INI files with random reads and writes: a value read back right
// after it was written must be the value written.

#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "profile_file.h"

namespace {

// Names and values that the file format can hold unchanged.
std::string Clean(std::string s, const char* forbidden) {
  std::string result;
  for (char c : s) {
    if (c != '\r' && c != '\n' && std::string(forbidden).find(c) == std::string::npos) result += c;
  }
  result = result.substr(0, 2047);
  for (;;) {
    const size_t first = result.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    result = result.substr(first, result.find_last_not_of(" \t") - first + 1);
    const bool quoted =
        result.size() >= 2 && (result[0] == '"' || result[0] == '\'') && result.back() == result[0];
    if (!quoted) return result;
    result.pop_back();
  }
}

const std::string& FilePath() {
  static const std::string path = (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                                  std::string("/melodrop-ini-fuzz-") + std::to_string(getpid());
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  std::ofstream(FilePath(), std::ios::binary | std::ios::trunc)
      << input.ConsumeRandomLengthString(4096);
  while (input.remaining_bytes() > 0) {
    const std::string section = Clean(input.ConsumeRandomLengthString(16), "]");
    const std::string key = Clean(input.ConsumeRandomLengthString(16), "=[;");
    if (section.empty() || key.empty()) continue;
    if (input.ConsumeBool()) {
      GetPrivateProfileString(section, key, "default", FilePath());
      continue;
    }
    const std::string value = Clean(input.ConsumeRandomLengthString(64), "");
    WritePrivateProfileString(section, key, value, FilePath());
    if (GetPrivateProfileString(section, key, "default", FilePath()) != value) std::abort();
  }
  return 0;
}
