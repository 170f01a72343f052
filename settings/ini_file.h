#pragma once
// Typed access to one INI file, each read and write going to the file.

#include <cstdint>
#include <string>

class TIniFile {
 public:
  explicit TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}

  const std::string& FileName() const { return fileName_; }

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;
  // "0x"/"0X" and more than two characters: hexadecimal; not an integer: the default.
  int32_t ReadInteger(const std::string& section, const std::string& key,
                      int32_t defaultValue) const;
  // Read as an integer: true when not 0.
  bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;

  // Each raises "Unable to write to <full path>" when the write is refused.
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int32_t value);
  void WriteBool(const std::string& section, const std::string& key, bool value);

 private:
  std::string fileName_;
};
