#include "common/temp_folder.h"
#include "support/program_files.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

using namespace MyServis;

TEST(ShippedFile, BesideTheProgramFirstThenInShare) {
  TTempFolder folder;
  std::filesystem::create_directories(folder.File("bin"));
  std::filesystem::create_directories(folder.File("share/chorvanta"));
  const std::string bin = folder.File("bin");
  folder.Write("share/chorvanta/manual.htm", "m");
  EXPECT_EQ(ShippedFile("manual.htm", bin), bin + "/../share/chorvanta/manual.htm");
  folder.Write("bin/manual.htm", "m");
  EXPECT_EQ(ShippedFile("manual.htm", bin), bin + "/manual.htm");
  EXPECT_EQ(ShippedFile("none.pcm", bin), bin + "/none.pcm");
}

TEST(SettingsFolder, TheProgramsOwnUnlessItCannotBeWritten) {
  TTempFolder folder;
  const std::string bin = folder.File("bin");
  std::filesystem::create_directories(bin);
  EXPECT_EQ(SettingsFolder(bin, true), bin);
  EXPECT_EQ(StateFolder(bin, true), bin);
  setenv("XDG_CONFIG_HOME", folder.File("config").c_str(), 1);
  setenv("XDG_STATE_HOME", "relative/is/ignored", 1);
  const std::string home = getenv("HOME") != nullptr ? getenv("HOME") : "";
  setenv("HOME", folder.File("home").c_str(), 1);
  EXPECT_EQ(SettingsFolder(bin, false), folder.File("config/chorvanta"));
  EXPECT_EQ(StateFolder(bin, false), folder.File("home/.local/state/chorvanta"));
  EXPECT_TRUE(std::filesystem::is_directory(folder.File("config/chorvanta")));
  // A settings file beside the program wins only when the user can write it and
  // its folder: every save would fail otherwise.
  folder.Write("bin/settings.ctl", "");
  EXPECT_EQ(SettingsFolder(bin, true), bin);
  EXPECT_EQ(SettingsFolder(bin, false), folder.File("config/chorvanta"));
  std::filesystem::permissions(folder.File("bin/settings.ctl"),
                               std::filesystem::perms::owner_read |
                                   std::filesystem::perms::group_read);
  EXPECT_EQ(SettingsFolder(bin, true), folder.File("config/chorvanta"));
  setenv("HOME", home.c_str(), 1);
  unsetenv("XDG_CONFIG_HOME");
  unsetenv("XDG_STATE_HOME");
}

// A copy whose shipped files lie in ../share/chorvanta is installed: it keeps its
// files in the user's folders even where it could write beside itself, as root can
// in /usr/bin; a build tree keeps them beside itself.
TEST(SettingsFolder, AnInstalledCopyNeverKeepsItsFilesBesideItself) {
  TTempFolder folder;
  std::filesystem::create_directories(folder.File("usr/bin"));
  std::filesystem::create_directories(folder.File("usr/share/chorvanta"));
  std::filesystem::create_directories(folder.File("build/bin"));
  folder.Write("usr/share/chorvanta/sample.pcm", "");
  folder.Write("build/bin/sample.pcm", "");
  EXPECT_TRUE(InstalledCopy(folder.File("usr/bin")));
  EXPECT_FALSE(KeepsFilesBeside(folder.File("usr/bin")));
  EXPECT_FALSE(InstalledCopy(folder.File("build/bin")));
  EXPECT_TRUE(KeepsFilesBeside(folder.File("build/bin")));
}

} // namespace
