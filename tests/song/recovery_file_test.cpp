#include "common/note_builder.h"
#include "common/temp_folder.h"
#include "song/recovery_file.h"
#include "song/recovery_writer.h"
#include "support/file_io.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using namespace songData;
namespace fs = std::filesystem;

TSong SongIn(const std::string& folder, const std::string& name) {
  TSong song;
  song.SongDir = folder;
  song.SongFileName = name;
  song.BPM = 200;
  song.Tags = {"#TITLE:Recovered"};
  song.Notes = {MakeNote(nkNormal, 0, 4, 5, "la"), MakeNote(nkGolden, 8, 2, 7, "lo")};
  return song;
}

void Keep(const std::string& folder, const TSong& song, int processId = ::getpid()) {
  WriteRecoveryFile(RecoveryFilePath(folder, song.SongDir + "/" + song.SongFileName, processId),
                    RecoveryText(song, std::nullopt));
}

// Whatever the song's name holds, the recovery names the same file and keeps the
// song file's stamp; a name with a line break no longer cuts the path short.
TEST(RecoveryFile, KeepsTheSongItsWholePathAndItsStamp) {
  TTempFolder folder;
  const MyServis::TFileStamp stamp{1234567890123456789, 42};
  for (const std::string& name :
       std::vector<std::string>{"a.txt", "two\nlines.txt", "back\\slash\\n.txt", "cr\r.txt",
                                std::string(250, 'x') + ".txt"}) {
    const TSong song = SongIn(folder.Path(), name);
    const std::string file = RecoveryFilePath(folder.File("recovery"), folder.File(name), 7);
    EXPECT_LT(MyServis::NameOfPath(file).size(), 160u);
    WriteRecoveryFile(file, RecoveryText(song, stamp));
    const TRecovery recovery = ParseRecoveryText(MyServis::ReadFileBytes(file));
    EXPECT_EQ(recovery.SongPath, folder.File(name));
    EXPECT_EQ(recovery.DiskStamp, stamp);
    ASSERT_EQ(recovery.Content.Notes.size(), 2u);
    EXPECT_EQ(recovery.Content.Notes[1].Kind, nkGolden);
    EXPECT_EQ(recovery.Content.Notes[1].Text.View(), "lo");
    EXPECT_EQ(recovery.Content.Tags.front(), "#TITLE:Recovered");
    EXPECT_FALSE(fs::exists(folder.File(name))); // the song itself is untouched
  }
  const TSong fresh = SongIn(folder.Path(), "new.txt");
  EXPECT_EQ(ParseRecoveryText(RecoveryText(fresh, std::nullopt)).DiskStamp, std::nullopt);
  // Songs of one name in two folders, and two editors on one song, keep apart.
  EXPECT_NE(RecoveryFilePath("r", "/x/a.txt", 1), RecoveryFilePath("r", "/y/a.txt", 1));
  EXPECT_NE(RecoveryFilePath("r", "/x/a.txt", 1), RecoveryFilePath("r", "/x/a.txt", 2));
}

TEST(RecoveryFile, RefusesWhatIsNoRecoveryFile) {
  for (const char* bytes : {"", "#TITLE:x\nE\n", "#CHORVANTA-RECOVERY:/a.txt",
                            "#CHORVANTA-RECOVERY:\nE\n", "#CHORVANTA-RECOVERY:relative.txt\nE\n"})
    EXPECT_THROW(ParseRecoveryText(bytes), ESongReadError) << bytes;
  EXPECT_THROW(ParseRecoveryText("#CHORVANTA-RECOVERY:/a.txt\n: x\n"), ESongReadError);
  // A file of an older version: no stamp, so its song counts as changed on disk.
  const TRecovery old = ParseRecoveryText("#CHORVANTA-RECOVERY:/a.txt\n#TITLE:x\n: 0 1 2 la\nE\n");
  EXPECT_EQ(old.DiskStamp, std::nullopt);
  EXPECT_EQ(old.Content.Notes.size(), 1u);
}

// Files newer than their song are offered newest first; one older than its song
// is stale and goes; an unreadable one, one naming a song in a folder that does
// not exist, and one another running editor keeps are not offered.
TEST(RecoveryFile, OffersEachFileNewerThanItsSongNewestFirst) {
  TTempFolder folder;
  const std::string recovery = folder.File("recovery");
  Keep(recovery, SongIn(folder.Path(), "old.txt"));
  Keep(recovery, SongIn(folder.Path(), "gone.txt"), 999999999); // an editor that crashed
  Keep(recovery, SongIn(folder.Path(), "saved.txt"));
  Keep(recovery, SongIn(folder.File("nowhere"), "lost.txt"));
  Keep(recovery, SongIn(folder.Path(), "running.txt"), 1); // pid 1 always runs
  folder.Write("old.txt", "E\n");
  folder.Write("saved.txt", "E\n");
  folder.Write("recovery/junk.recovery", "junk");
  const std::string old = RecoveryFilePath(recovery, folder.File("old.txt"), ::getpid());
  const std::string gone = RecoveryFilePath(recovery, folder.File("gone.txt"), 999999999);
  const auto now = fs::file_time_type::clock::now();
  fs::last_write_time(old, now + std::chrono::seconds(2));
  fs::last_write_time(gone, now + std::chrono::seconds(1));
  fs::last_write_time(folder.File("saved.txt"), now + std::chrono::seconds(5));
  EXPECT_EQ(FindRecoveriesToOffer(recovery), (std::vector<std::string>{old, gone}));
  EXPECT_FALSE(fs::exists(RecoveryFilePath(recovery, folder.File("saved.txt"), ::getpid())));
  EXPECT_TRUE(fs::exists(folder.File("recovery/junk.recovery")));
  EXPECT_TRUE(FindRecoveriesToOffer(folder.File("missing")).empty());
}

// Requests are carried out in order, off the calling thread; a failure is told
// and the writer goes on.
TEST(RecoveryWriter, WritesAndRemovesInOrder) {
  TTempFolder folder;
  std::vector<std::string> failures;
  {
    TRecoveryWriter writer([&](const std::string& message) { failures.push_back(message); });
    const std::string file = folder.File("recovery/a.recovery");
    for (int i = 0; i < 50; ++i)
      writer.Write(file, "#CHORVANTA-RECOVERY:/a.txt\n" + std::to_string(i));
    writer.Wait();
    EXPECT_EQ(folder.Read("recovery/a.recovery"), "#CHORVANTA-RECOVERY:/a.txt\n49");
    writer.Write(file, "new");
    writer.Remove(file);
    writer.Wait();
    EXPECT_FALSE(folder.Exists("recovery/a.recovery"));
    folder.Write("plain", "a file, not a folder");
    writer.Write(folder.File("plain/b.recovery"), "x");
    writer.Write(folder.File("recovery/last.recovery"), "last");
  } // the destructor carries out what is queued
  EXPECT_EQ(folder.Read("recovery/last.recovery"), "last");
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_NE(failures[0].find("plain/b.recovery"), std::string::npos) << failures[0];
}

} // namespace
