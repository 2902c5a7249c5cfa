#include "common/note_builder.h"
#include "common/temp_folder.h"
#include "song/recovery_file.h"
#include "support/file_io.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

using namespace songData;

TSong SongIn(const TTempFolder& folder, const std::string& name) {
  TSong song;
  song.SongDir = folder.Path();
  song.SongFileName = name;
  song.BPM = 200;
  song.Tags = {"#TITLE:Recovered"};
  song.Notes = {MakeNote(nkNormal, 0, 4, 5, "la"), MakeNote(nkGolden, 8, 2, 7, "lo")};
  return song;
}

TEST(RecoveryFile, KeepsTheSongAndItsPathAndReadsThemBack) {
  TTempFolder folder;
  const TSong song = SongIn(folder, "a.txt");
  WriteRecoveryFile(folder.File("recovery"), song);
  const std::string file = RecoveryFilePath(folder.File("recovery"), folder.File("a.txt"));
  const TRecovery recovery = ParseRecoveryText(MyServis::ReadFileBytes(file));
  EXPECT_EQ(recovery.SongPath, folder.File("a.txt"));
  ASSERT_EQ(recovery.Content.Notes.size(), 2u);
  EXPECT_EQ(recovery.Content.Notes[1].Kind, nkGolden);
  EXPECT_EQ(recovery.Content.Notes[1].Text.View(), "lo");
  EXPECT_EQ(recovery.Content.Tags.front(), "#TITLE:Recovered");
  EXPECT_FALSE(std::filesystem::exists(folder.File("a.txt"))); // the song itself is untouched
  // Songs of one name in two folders keep apart.
  EXPECT_NE(RecoveryFilePath("r", "/x/a.txt"), RecoveryFilePath("r", "/y/a.txt"));
  RemoveRecoveryFile(folder.File("recovery"), folder.File("a.txt"));
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST(RecoveryFile, RefusesWhatIsNoRecoveryFile) {
  for (const char* bytes : {"", "#TITLE:x\nE\n", "#CHORVANTA-RECOVERY:/a.txt",
                            "#CHORVANTA-RECOVERY:\nE\n", "#CHORVANTA-RECOVERY:relative.txt\nE\n"})
    EXPECT_THROW(ParseRecoveryText(bytes), ESongReadError) << bytes;
  EXPECT_THROW(ParseRecoveryText("#CHORVANTA-RECOVERY:/a.txt\n: x\n"), ESongReadError);
}

// Only a file newer than its song is offered; one older than its song is stale
// and goes; an unreadable one stays.
TEST(RecoveryFile, OffersTheNewestFileNewerThanItsSong) {
  TTempFolder folder;
  const std::string recovery = folder.File("recovery");
  namespace fs = std::filesystem;
  WriteRecoveryFile(recovery, SongIn(folder, "old.txt"));
  WriteRecoveryFile(recovery, SongIn(folder, "gone.txt"));
  WriteRecoveryFile(recovery, SongIn(folder, "saved.txt"));
  folder.Write("old.txt", "E\n");
  folder.Write("saved.txt", "E\n");
  folder.Write("recovery/junk.recovery", "junk");
  const auto now = fs::file_time_type::clock::now();
  fs::last_write_time(RecoveryFilePath(recovery, folder.File("old.txt")),
                      now + std::chrono::seconds(2));
  fs::last_write_time(RecoveryFilePath(recovery, folder.File("gone.txt")),
                      now + std::chrono::seconds(1));
  fs::last_write_time(folder.File("saved.txt"), now + std::chrono::seconds(5));
  EXPECT_EQ(FindRecoveryToOffer(recovery), RecoveryFilePath(recovery, folder.File("old.txt")));
  EXPECT_FALSE(fs::exists(RecoveryFilePath(recovery, folder.File("saved.txt"))));
  EXPECT_TRUE(fs::exists(folder.File("recovery/junk.recovery")));
  fs::remove(RecoveryFilePath(recovery, folder.File("old.txt")));
  EXPECT_EQ(FindRecoveryToOffer(recovery), RecoveryFilePath(recovery, folder.File("gone.txt")));
  EXPECT_EQ(FindRecoveryToOffer(folder.File("missing")), std::nullopt);
}

} // namespace
