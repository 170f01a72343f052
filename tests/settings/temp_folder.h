#pragma once
// A fresh folder under the test's temporary directory, removed afterwards.
// Its name is Cyrillic, as a Russian desktop's music folder is: every test
// that touches files meets a path that is UTF-8 and not Windows-1251.

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace testing_support {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "melodrop-XXXXXX").string();
    root_ = mkdtemp(pattern.data());
    chmod(root_.c_str(), 0755);  // as the folders above a user's files are
    path_ = root_ / "Музыка";
    std::filesystem::create_directory(path_);
  }
  ~TempFolder() { std::filesystem::remove_all(root_); }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path root_;
  std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

}  // namespace testing_support
