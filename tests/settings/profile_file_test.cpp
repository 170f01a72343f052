#include "profile_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "temp_folder.h"

namespace {

using namespace testing_support;

struct ReadCase {
  const char* name;
  std::string file;
  std::string section, key;
  std::string expected;  // with default "DEF"
};

TEST(ProfileFile, ReadsByTheRulesOfThePrivateProfileFunctions) {
  const ReadCase cases[] = {
      {"CR LF", "[MAIN]\r\nPort=8080\r\n", "MAIN", "Port", "8080"},
      {"LF", "[MAIN]\nPort=8080\n", "MAIN", "Port", "8080"},
      {"last line without end", "[MAIN]\r\nPort=8080", "MAIN", "Port", "8080"},
      {"other letter case", "[main]\r\nPORT=1\r\n", "Main", "port", "1"},
      {"blanks in the header", "[ MAIN ]\r\nPort=1\r\n", "MAIN", "Port", "1"},
      {"blanks around", "[MAIN]\r\n  Port \t=  80 \t\r\n", "MAIN", "Port", "80"},
      {"double quotes", "[MAIN]\r\nSkinName=\" Wood \"\r\n", "MAIN", "SkinName", " Wood "},
      {"single quotes", "[MAIN]\r\nSkinName='Wood'\r\n", "MAIN", "SkinName", "Wood"},
      {"unmatched quote", "[MAIN]\r\nSkinName=\"Wood\r\n", "MAIN", "SkinName", "\"Wood"},
      {"empty value", "[MAIN]\r\nPort=\r\n", "MAIN", "Port", ""},
      {"missing key", "[MAIN]\r\nSkin=1\r\n", "MAIN", "Port", "DEF"},
      {"missing section", "[OTHER]\r\nPort=1\r\n", "MAIN", "Port", "DEF"},
      {"key of another section", "[A]\r\nPort=1\r\n[MAIN]\r\nSkin=0\r\n", "MAIN", "Port", "DEF"},
      {"first of two keys", "[MAIN]\r\nPort=1\r\nPort=2\r\n", "MAIN", "Port", "1"},
      {"comment", "[MAIN]\r\n;Port=1\r\n", "MAIN", "Port", "DEF"},
      {"text before the first section", "Port=9\r\n[MAIN]\r\n", "MAIN", "Port", "DEF"},
      {"equals in the value", "[MAIN]\r\nName=a=b\r\n", "MAIN", "Name", "a=b"},
      {"3000 characters", "[MAIN]\r\nLong=" + std::string(3000, 'x') + "\r\n", "MAIN", "Long",
       std::string(2047, 'x')},
  };
  TempFolder folder;
  const std::string path = folder.File("Settings.cfg");
  for (const ReadCase& c : cases) {
    WriteBytes(path, c.file);
    EXPECT_EQ(GetPrivateProfileString(c.section, c.key, "DEF", path), c.expected) << c.name;
  }
  EXPECT_EQ(GetPrivateProfileString("MAIN", "Port", "DEF", folder.File("missing.cfg")), "DEF");
}

struct WriteCase {
  const char* name;
  std::string before;
  std::string section, key, value;
  std::string after;
};

TEST(ProfileFile, WritesChangeOnlyWhatTheyMust) {
  const WriteCase cases[] = {
      {"key in the middle", "; comment\r\nstray\r\n[MAIN]\r\nPort=80\r\nSkin=1\r\n[X]\r\nY=2\n",
       "main", "PORT", "8080",
       "; comment\r\nstray\r\n[MAIN]\r\nPort=8080\r\nSkin=1\r\n[X]\r\nY=2\n"},
      {"blanks before the value", "[MAIN]\r\nPort = 80\r\n", "MAIN", "Port", "1",
       "[MAIN]\r\nPort =1\r\n"},
      {"missing key", "[MAIN]\r\nPort=80\r\n\r\n[X]\r\n", "MAIN", "Skin", "0",
       "[MAIN]\r\nPort=80\r\nSkin=0\r\n\r\n[X]\r\n"},
      {"missing section", "[X]\r\nY=2\r\n", "MAIN", "Port", "80",
       "[X]\r\nY=2\r\n[MAIN]\r\nPort=80\r\n"},
      {"missing section, LF file", "[X]\nY=2\n", "MAIN", "Port", "80",
       "[X]\nY=2\n[MAIN]\nPort=80\n"},
      {"last line without end", "[X]\r\nY=2", "MAIN", "Port", "80",
       "[X]\r\nY=2\r\n[MAIN]\r\nPort=80\r\n"},
      {"empty file", "", "MAIN", "Port", "80", "[MAIN]\r\nPort=80\r\n"},
  };
  TempFolder folder;
  const std::string path = folder.File("Settings.cfg");
  for (const WriteCase& c : cases) {
    WriteBytes(path, c.before);
    WritePrivateProfileString(c.section, c.key, c.value, path);
    EXPECT_EQ(ReadBytes(path), c.after) << c.name;
  }
}

TEST(ProfileFile, AWriteCreatesAMissingFile) {
  TempFolder folder;
  const std::string path = folder.File("Settings.cfg");
  WritePrivateProfileString("MAIN", "Port", "80", path);
  EXPECT_EQ(ReadBytes(path), "[MAIN]\r\nPort=80\r\n");
}

TEST(ProfileFile, AWriteIntoAFolderThatRefusesItRaises) {
  TempFolder folder;
  WriteBytes(folder.File("file"), "not a folder");
  try {
    WritePrivateProfileString("MAIN", "Port", "80", folder.File("file") + "/Settings.cfg");
    FAIL();
  } catch (const EIniFileException& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Unable to write to /", 0), 0u) << e.what();
    EXPECT_NE(std::string(e.what()).find("/file/Settings.cfg"), std::string::npos) << e.what();
  }
}

// A write that fails half-way (here: the file size limit) keeps the old file.
TEST(ProfileFile, AFailedWriteLeavesTheOldFileWhole) {
  TempFolder folder;
  const std::string path = folder.File("Settings.cfg");
  WriteBytes(path, "[MAIN]\r\nPort=80\r\n");
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 64;
  signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  EXPECT_THROW(WritePrivateProfileString("MAIN", "SkinName", std::string(200, 'x'), path),
               EIniFileException);
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, SIG_DFL);
  EXPECT_EQ(ReadBytes(path), "[MAIN]\r\nPort=80\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.File("")),
                          std::filesystem::directory_iterator()),
            1)
      << "no temporary file is left behind";
}

TEST(ProfileFile, TwoHandlesSeeEachOthersWrites) {
  TempFolder folder;
  const std::string path = folder.File("Settings.cfg");
  WritePrivateProfileString("MAIN", "Port", "80", path);
  EXPECT_EQ(GetPrivateProfileString("MAIN", "Port", "", path), "80");
  WritePrivateProfileString("MAIN", "Port", "8080", path);
  EXPECT_EQ(GetPrivateProfileString("MAIN", "Port", "", path), "8080");
}

}  // namespace
