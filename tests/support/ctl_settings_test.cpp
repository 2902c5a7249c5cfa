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

// A missing, damaged or absurd value gives a usable depth of undo.
TEST(ProgramSettings, UndoStepsAreBounded) {
  struct TCase {
    const char* File;
    int Steps;
  } cases[] = {{"", 1000},
               {"UndoSteps \"50\"\r\n", 50},
               {"UndoSteps \"many\"\r\n", 1000},
               {"UndoSteps \"0\"\r\n", 1},
               {"UndoSteps \"99999999\"\r\n", 1000000}};
  for (const TCase& c : cases) {
    TTempFolder folder;
    folder.Write("settings.ctl", c.File);
    EXPECT_EQ(UndoSteps(*OpenSettings(folder.File(""))), c.Steps) << c.File;
  }
}

TEST(ProgramSettings, NeedsTheFile) {
  TTempFolder folder;
  std::string message = FailureOf([&] { OpenSettings(folder.File("")); });
  EXPECT_NE(message.find("CTL2: Can't load control file: " + folder.File("settings.ctl")),
            std::string::npos)
      << message;
}
