#include "profile_file.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
      {"UTF-8 byte order mark", "\xEF\xBB\xBF[MAIN]\r\nPort=1\r\n", "MAIN", "Port", "1"},
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
      {"UTF-8 byte order mark", "\xEF\xBB\xBF[MAIN]\r\nPort=80\r\n", "MAIN", "Port", "1",
       "\xEF\xBB\xBF[MAIN]\r\nPort=1\r\n"},
      // Found by the fuzzer: the CR read as the line's end, before and after.
      {"last line ends in a lone CR", "U\n[s\r", "s", "k", "", "U\n[s\r\nk=\n"},
  };
  TempFolder folder;
  const std::string path = folder.File("Settings.cfg");
  for (const WriteCase& c : cases) {
    WriteBytes(path, c.before);
    WritePrivateProfileString(c.section, c.key, c.value, path);
    EXPECT_EQ(ReadBytes(path), c.after) << c.name;
  }
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

// A name that holds no regular file reads as no file and is never written:
// a pipe or a device would otherwise hold or feed the reader without end.
TEST(ProfileFile, APipeOrADeviceIsNeitherReadNorWritten) {
  TempFolder folder;
  const std::string pipe = folder.File("pipe.cfg");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const std::string device = folder.File("device.cfg");
  std::filesystem::create_symlink("/dev/zero", device);
  for (const std::string& path : {pipe, device}) {
    EXPECT_EQ(GetPrivateProfileString("MAIN", "Port", "80", path), "80") << path;
    EXPECT_THROW(WritePrivateProfileString("MAIN", "Port", "81", path), EIniFileException) << path;
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

// Root may write anything; the cases about access run as an ordinary user.
constexpr uid_t kNobody = 65534;

// The outcome of a write of Port=8080 by that user ("written" or the
// message): in this process for the user it runs as, else in a child that
// becomes the user (the tests then run as root).
std::string WriteOutcomeAs(uid_t writer, const std::string& path) {
  const auto write = [&]() -> std::string {
    try {
      WritePrivateProfileString("MAIN", "Port", "8080", path);
      return "written";
    } catch (const EIniFileException& e) {
      return e.what();
    }
  };
  if (geteuid() == writer) return write();
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return "no pipe";
  const pid_t child = fork();
  if (child == 0) {
    close(pipeEnds[0]);
    const bool dropped = setgroups(0, nullptr) == 0 && setgid(writer) == 0 && setuid(writer) == 0;
    const std::string outcome = dropped ? write() : "cannot become user " + std::to_string(writer);
    const ssize_t sent = ::write(pipeEnds[1], outcome.data(), outcome.size());
    _exit(sent == static_cast<ssize_t>(outcome.size()) ? 0 : 1);
  }
  close(pipeEnds[1]);
  std::string outcome;
  char block[512];
  for (ssize_t n; (n = read(pipeEnds[0], block, sizeof block)) > 0;) outcome.append(block, n);
  close(pipeEnds[0]);
  waitpid(child, nullptr, 0);
  return outcome;
}

std::string WriteOutcomeAsOrdinaryUser(const std::string& folder, const std::string& path) {
  if (geteuid() != 0) return WriteOutcomeAs(geteuid(), path);
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    lchown(entry.path().c_str(), kNobody, kNobody);
  }
  chown(folder.c_str(), kNobody, kNobody);
  return WriteOutcomeAs(kNobody, path);
}

struct AccessCase {
  const char* name;
  mode_t fileMode;
  mode_t folderMode;
  bool throughLink;  // Settings.cfg is a link to real.cfg
  bool written;
};

TEST(ProfileFile, AWriteKeepsWhatTheUserSetUpAndRefusesWhatItMayNotChange) {
  const AccessCase cases[] = {
      {"unreadable file", 0200, 0755, false, false},
      {"read-only file", 0444, 0755, false, false},
      {"writable file in a read-only folder", 0644, 0555, false, true},
      {"symbolic link", 0644, 0755, true, true},
      {"permission bits", 0604, 0755, false, true},
  };
  const std::string before = "[MAIN]\r\nPort=81\r\nSkin=1\r\n";
  for (const AccessCase& c : cases) {
    TempFolder folder;
    const std::string path = folder.File("Settings.cfg");
    const std::string real = c.throughLink ? folder.File("real.cfg") : path;
    WriteBytes(real, before);
    if (c.throughLink) std::filesystem::create_symlink("real.cfg", path);
    chmod(real.c_str(), c.fileMode);
    chmod(folder.File("").c_str(), c.folderMode);
    const std::string outcome = WriteOutcomeAsOrdinaryUser(folder.File(""), path);
    chmod(folder.File("").c_str(), 0755);
    EXPECT_EQ(outcome, c.written ? "written" : "Unable to write to " + path) << c.name;
    EXPECT_EQ(ReadBytes(real), c.written ? "[MAIN]\r\nPort=8080\r\nSkin=1\r\n" : before) << c.name;
    struct stat after {};
    lstat(path.c_str(), &after);
    EXPECT_EQ(S_ISLNK(after.st_mode), c.throughLink) << c.name;
    stat(real.c_str(), &after);
    EXPECT_EQ(after.st_mode & 07777, c.fileMode) << c.name;
  }
}

// Whoever writes, the file keeps its owner, group and mode; a link is
// followed only when the writer owns it and its file. Two writers at once
// lose nothing.
TEST(ProfileFile, AWriteKeepsTheOwnerFollowsOnlyOwnLinksAndLosesNothingToAnother) {
  const struct {
    const char* name;
    uid_t writer, file, link;  // link 1: none
    bool written;
  } cases[] = {{"root writes a user's file", 0, kNobody, 1, true},
               {"a user's own link", kNobody, kNobody, kNobody, true},
               {"a user's link to root's file", kNobody, 0, kNobody, false},
               {"root through a user's link", 0, 0, kNobody, false}};
  for (const auto& c : cases) {
    if (geteuid() != 0) break;  // the owners need root
    TempFolder folder;
    const std::string path = folder.File("Settings.cfg"), real = folder.File("real.cfg");
    WriteBytes(real, "[MAIN]\r\nPort=81\r\n");
    chmod(real.c_str(), 0646);
    chown(real.c_str(), c.file, c.file);
    chown(folder.File("").c_str(), kNobody, kNobody);
    if (c.link == 1) std::filesystem::rename(real, path);
    if (c.link != 1) std::filesystem::create_symlink("real.cfg", path);
    if (c.link != 1) lchown(path.c_str(), c.link, c.link);
    EXPECT_EQ(WriteOutcomeAs(c.writer, path), c.written ? "written" : "Unable to write to " + path);
    struct stat after {};
    stat(path.c_str(), &after);
    EXPECT_EQ(ReadBytes(path).find("8080") != std::string::npos, c.written) << c.name;
    EXPECT_EQ(std::vector<unsigned>({after.st_uid, after.st_gid, after.st_mode & 07777}),
              std::vector<unsigned>({c.file, c.file, 0646u}))
        << c.name;
  }
  TempFolder folder;
  pid_t writers[2];
  for (pid_t& writer : writers) {
    if ((writer = fork()) != 0) continue;
    for (int i = 0; i < 200; ++i) {
      WritePrivateProfileString("MAIN", std::to_string(getpid()) + "_" + std::to_string(i), "1",
                                folder.File("Settings.cfg"));
    }
    _exit(0);
  }
  for (const pid_t writer : writers) waitpid(writer, nullptr, 0);
  const std::string written = ReadBytes(folder.File("Settings.cfg"));
  EXPECT_EQ(std::count(written.begin(), written.end(), '='), 400);
  // Held by another without end (anyone who may read the folder can), the
  // lock is waited for a while, not for ever.
  const int held = open(folder.File("").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_EQ(flock(held, LOCK_EX), 0);
  WritePrivateProfileString("MAIN", "Port", "81", folder.File("Settings.cfg"));
  EXPECT_EQ(GetPrivateProfileString("MAIN", "Port", "", folder.File("Settings.cfg")), "81");
  close(held);
}

}  // namespace
