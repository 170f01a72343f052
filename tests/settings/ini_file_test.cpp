#include "ini_file.h"

#include <gtest/gtest.h>

#include "program_settings.h"
#include "skin_engine.h"
#include "temp_folder.h"

namespace {

using namespace testing_support;

TEST(IniFile, TypedReadsFallBackToTheirDefaults) {
  TempFolder folder;
  const std::string path = folder.File("Settings.cfg");
  WriteBytes(path,
             "[MAIN]\r\nHex=0x1\r\nHexUpper=0X1F\r\nShort=0x\r\nYes=yes\r\nEmpty=\r\n"
             "Dollar=$10\r\nZero=0\r\n");
  const TIniFile ini(path);
  EXPECT_TRUE(ini.ReadBool("MAIN", "Hex", false));
  EXPECT_EQ(ini.ReadInteger("MAIN", "HexUpper", 0), 31);
  EXPECT_EQ(ini.ReadInteger("MAIN", "Short", 7), 7);
  EXPECT_TRUE(ini.ReadBool("MAIN", "Yes", true));
  EXPECT_FALSE(ini.ReadBool("MAIN", "Yes", false));
  EXPECT_EQ(ini.ReadInteger("MAIN", "Empty", 5), 5);
  EXPECT_TRUE(ini.ReadBool("MAIN", "Empty", true));
  EXPECT_EQ(ini.ReadInteger("MAIN", "Dollar", 0), 16);
  EXPECT_FALSE(ini.ReadBool("MAIN", "Zero", true));
}

TEST(ProgramSettings, DefaultsWithoutAFileAndTheFiveKeysInOrder) {
  TempFolder folder;
  TProgramSettings settings(folder.File("Settings.cfg"));
  EXPECT_EQ(settings.PortText(), "80");
  EXPECT_EQ(settings.StoredPort(), 80);
  EXPECT_FALSE(settings.Skin());
  EXPECT_TRUE(settings.ShowBalloon());
  EXPECT_EQ(settings.SkinIndex(), 0);
  EXPECT_EQ(settings.SkinName(), "Snow Leopard (internal)");
  settings.Write("8080", true, false, 3, "Cold (internal)");
  EXPECT_EQ(ReadBytes(settings.File().FileName()),
            "[MAIN]\r\nPort=8080\r\nSkin=1\r\nShowBaloon=0\r\nSkinIndex=3\r\n"
            "SkinName=Cold (internal)\r\n");
  // A port the program cannot use is no port (the window then takes 80).
  for (const char* port : {"", "abc", "0", "-80", "65536", "73616", "8080x"}) {
    WriteBytes(settings.File().FileName(), std::string("[MAIN]\r\nPort=") + port + "\r\n");
    EXPECT_EQ(settings.StoredPort(), std::nullopt) << port;
  }
  WriteBytes(settings.File().FileName(), "[MAIN]\r\nPort=65535\r\n");
  EXPECT_EQ(settings.StoredPort(), 65535);
}

TEST(SkinEngine, SixteenSkinsAndWhatASelectionSelects) {
  const auto& names = TSkinEngine::SkinNames();
  ASSERT_EQ(names.size(), 16u);
  EXPECT_EQ(names.front(), "Snow Leopard (internal)");
  EXPECT_EQ(names[9], "Office2007 Black (internal)");
  EXPECT_EQ(names.back(), "XPLuna (internal)");

  TSkinEngine engine;
  engine.SelectSkin("Nonesuch");
  EXPECT_EQ(engine.SkinName(), "Nonesuch") << "while off, a selection is only remembered";
  engine.SetActive(true);
  EXPECT_EQ(engine.SkinName(), "Snow Leopard (internal)");
  engine.SelectSkin("Wood (internal)");
  EXPECT_EQ(engine.SkinName(), "Wood (internal)");
  engine.SelectSkin("wood (internal)");
  EXPECT_EQ(engine.SkinName(), "Snow Leopard (internal)") << "letter case counts";
}

}  // namespace
