#include "program_settings.h"

#include <unistd.h>

#include <climits>

#include "integer_text.h"

using namespace settings_keys;

std::string DefaultSettingsPath() {
  char executable[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", executable, sizeof executable - 1);
  if (length <= 0) return "Settings.cfg";
  const std::string path(executable, static_cast<size_t>(length));
  return path.substr(0, path.rfind('/') + 1) + "Settings.cfg";
}

std::string TProgramSettings::PortText() const {
  return file_.ReadString(kSection, kPort, kDefaultPort);
}

int TProgramSettings::PortNumber() const {
  return StrToInt(PortText());
}

bool TProgramSettings::Skin() const {
  return file_.ReadBool(kSection, kSkin, kDefaultSkin);
}

bool TProgramSettings::ShowBalloon() const {
  return file_.ReadBool(kSection, kShowBalloon, kDefaultShowBalloon);
}

int TProgramSettings::SkinIndex() const {
  return file_.ReadInteger(kSection, kSkinIndex, kDefaultSkinIndex);
}

std::string TProgramSettings::SkinName() const {
  return file_.ReadString(kSection, kSkinName, kDefaultSkinName);
}

void TProgramSettings::Write(const std::string& portText, bool skin, bool showBalloon,
                             int skinIndex, const std::string& skinName) {
  file_.WriteString(kSection, kPort, portText);
  file_.WriteBool(kSection, kSkin, skin);
  file_.WriteBool(kSection, kShowBalloon, showBalloon);
  WriteSkin(skinIndex, skinName);
}

void TProgramSettings::WriteSkin(int skinIndex, const std::string& skinName) {
  file_.WriteInteger(kSection, kSkinIndex, skinIndex);
  file_.WriteString(kSection, kSkinName, skinName);
}
