#pragma once
// The program's five settings in section "MAIN" of "Settings.cfg", with
// their keys and defaults.

#include <optional>
#include <string>

#include "ini_file.h"

namespace settings_keys {

inline const std::string kSection = "MAIN";
inline const std::string kPort = "Port";
inline const std::string kSkin = "Skin";
inline const std::string kShowBalloon = "ShowBaloon";
inline const std::string kSkinIndex = "SkinIndex";
inline const std::string kSkinName = "SkinName";

inline const std::string kDefaultPort = "80";
constexpr int kDefaultPortNumber = 80;
constexpr bool kDefaultSkin = false;
constexpr bool kDefaultShowBalloon = true;
constexpr int kDefaultSkinIndex = 0;
inline const std::string kDefaultSkinName = "Snow Leopard (internal)";

}  // namespace settings_keys

// "Settings.cfg" in the folder of the running executable when one is there
// (a build tree, a portable copy); else $XDG_CONFIG_HOME/melodrop/Settings.cfg
// (~/.config/melodrop/ by default), whose folder the first write makes. An
// installed program, even run as root, never makes a file beside itself.
std::string DefaultSettingsPath();

class TProgramSettings {
 public:
  explicit TProgramSettings(const std::string& path) : file_(path) {}

  std::string PortText() const;
  // The stored port when it is a number from 1 to 65535; nothing else.
  std::optional<int> StoredPort() const;
  bool Skin() const;
  bool ShowBalloon() const;
  int SkinIndex() const;
  std::string SkinName() const;

  // Writes all five, in this order.
  void Write(const std::string& portText, bool skin, bool showBalloon, int skinIndex,
             const std::string& skinName);
  // Writes the skin's index and name, in this order.
  void WriteSkin(int skinIndex, const std::string& skinName);

  TIniFile& File() { return file_; }

 private:
  // The file's folder, made (0700) when it is missing.
  void CreateFolder();

  TIniFile file_;
};
