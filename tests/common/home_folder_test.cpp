#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "files.h"

// The settings and the window places live under the home folder; without
// a usable $HOME (a service, "env -i") it is the account's, never "/".
TEST(HomeFolder, IsHomeWhenAbsoluteElseTheAccounts) {
  const char* saved = std::getenv("HOME");
  const std::string before = saved != nullptr ? saved : "";
  const std::string account = getpwuid(getuid())->pw_dir;
  setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(HomeFolder(), "/home/someone");
  for (const char* unusable : {"", "relative/home"}) {
    setenv("HOME", unusable, 1);
    EXPECT_EQ(HomeFolder(), account) << unusable;
  }
  unsetenv("HOME");
  EXPECT_EQ(HomeFolder(), account);
  if (saved != nullptr) setenv("HOME", before.c_str(), 1);
}
