#include "ctl_test_files.h"
#include "support/program_settings.h"

#include <gtest/gtest.h>

using namespace ProgramSettings;

TEST(ProgramSettings, RemembersTheRecentSong) {
  TTempFolder folder;
  folder.Write("settings.ctl", "# settings\r\n");
  {
    auto settings = OpenSettings(folder.File(""));
    EXPECT_EQ(RecentSong(*settings), "");
    StoreRecentSong(*settings, "/songs/Artist - Title.txt");
  }
  EXPECT_EQ(folder.Read("settings.ctl"),
            "# settings\r\nRecentSong      \"/songs/Artist - Title.txt\"\r\n");
  auto settings = OpenSettings(folder.File(""));
  EXPECT_EQ(RecentSong(*settings), "/songs/Artist - Title.txt");
}

TEST(ProgramSettings, NeedsTheFile) {
  TTempFolder folder;
  std::string message = FailureOf([&] { OpenSettings(folder.File("")); });
  EXPECT_NE(message.find("CTL2: Can't load control file: " + folder.File("settings.ctl")),
            std::string::npos)
      << message;
}
