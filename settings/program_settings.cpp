#include "program_settings.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "files.h"
#include "integer_text.h"

using namespace settings_keys;

namespace {

const char kFileName[] = "Settings.cfg";

// $XDG_CONFIG_HOME/melodrop/, by default ~/.config/melodrop/.
std::string UserConfigFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return std::string(config) + "/melodrop/";
  return HomeFolder() + "/.config/melodrop/";
}

}  // namespace

std::string DefaultSettingsPath() {
  char executable[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", executable, sizeof executable - 1);
  if (length <= 0) return kFileName;
  const std::string path(executable, static_cast<size_t>(length));
  const std::string beside = path.substr(0, path.rfind('/') + 1) + kFileName;
  // A copy that carries its settings (a build tree, a portable folder)
  // keeps them beside it; an installed program keeps them with the user.
  if (access(beside.c_str(), F_OK) == 0) return beside;
  return UserConfigFolder() + kFileName;
}

std::string TProgramSettings::PortText() const {
  return file_.ReadString(kSection, kPort, kDefaultPort);
}

std::optional<int> TProgramSettings::StoredPort() const {
  const std::optional<int32_t> port = ParseInteger(PortText());
  if (!port || *port < 1 || *port > 65535) return std::nullopt;
  return *port;
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

void TProgramSettings::CreateFolder() {
  CreateFoldersFor(file_.FileName());
}

void TProgramSettings::Write(const std::string& portText, bool skin, bool showBalloon,
                             int skinIndex, const std::string& skinName) {
  CreateFolder();
  file_.WriteString(kSection, kPort, portText);
  file_.WriteBool(kSection, kSkin, skin);
  file_.WriteBool(kSection, kShowBalloon, showBalloon);
  WriteSkin(skinIndex, skinName);
}

void TProgramSettings::WriteSkin(int skinIndex, const std::string& skinName) {
  CreateFolder();
  file_.WriteInteger(kSection, kSkinIndex, skinIndex);
  file_.WriteString(kSection, kSkinName, skinName);
}
