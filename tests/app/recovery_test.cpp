#include "main_window_fixture.h"
#include "song/recovery_file.h"
#include "support/file_io.h"

#include <QAction>
#include <QTimer>
#include <cerrno>
#include <filesystem>
#include <unistd.h>

namespace {

const std::string SmallSong = "#TITLE:Small\r\n#BPM:200\r\n: 0 4 12 la\r\n: 8 4 14 lo\r\nE\r\n";

class Recovery : public MainWindow {
protected:
  std::string RecoveryFile(const std::string& song) const {
    return songData::RecoveryFilePath(Folder.File("recovery"), song, ::getpid());
  }
  std::string song = WriteSong("small.txt", SmallSong);
};

TEST_F(Recovery, AKilledEditorOffersItsUnsavedChangesBack) {
  Start(QString::fromStdString(song));
  EXPECT_TRUE(RecoverQuestions.empty());
  Form->OctaveUpExecute();
  Form->WaitForRecovery();
  ASSERT_TRUE(std::filesystem::exists(RecoveryFile(song)));
  EXPECT_EQ(Folder.Read("small.txt"), SmallSong); // the song file is never touched
  SongDialogFolders.clear();
  MakeForm(); // killed: no close, no question
  Start();
  ASSERT_EQ(RecoverQuestions.size(), 1u);
  EXPECT_EQ(RecoverQuestions[0].toStdString(), song); // the whole path
  EXPECT_TRUE(SongDialogFolders.empty()); // the recovered song in place of the Open dialog
  ASSERT_EQ(Song.Notes.size(), 2u);
  EXPECT_EQ(Song.Notes[0].Pitch, 24);
  EXPECT_EQ(Song.SongFileName, "small.txt");
  EXPECT_TRUE(Form->IsModified());
  EXPECT_EQ(Folder.Read("small.txt"), SmallSong);
  // A deliberate save ends the recovery.
  Form->SongSave->trigger();
  Form->WaitForRecovery();
  EXPECT_FALSE(std::filesystem::exists(RecoveryFile(song)));
  EXPECT_NE(Folder.Read("small.txt").find(": 0 4 24 la"), std::string::npos);
}

// A change is on disk within a second, written off the window's thread.
TEST_F(Recovery, AChangeIsKeptWithinASecond) {
  Start(QString::fromStdString(song));
  Form->OctaveUpExecute();
  Form->WaitForRecovery();
  ASSERT_TRUE(std::filesystem::exists(RecoveryFile(song)));
  Form->OctaveUpExecute(); // under a second after the first write: the timer writes it
  ASSERT_TRUE(Form->RecoveryTimer->isActive());
  EXPECT_LE(Form->RecoveryTimer->remainingTime(), 1000);
  Form->RecoveryTimer->stop();
  Form->KeepRecovery(true);
  Form->WaitForRecovery();
  EXPECT_NE(Folder.Read(std::filesystem::path(RecoveryFile(song)).lexically_relative(Folder.Path()))
                .find(": 0 4 36 la"),
            std::string::npos);
}

// A recovery file names the file that Save writes: a forged or damaged one must
// not make Save overwrite some other file without the usual question and ".bak".
TEST_F(Recovery, SaveAfterRecoverAsksBeforeOverwritingAFileChangedSince) {
  const std::string config = Folder.Write("app.conf", "key=value\n");
  const std::string forged = "#CHORVANTA-RECOVERY:" + config + "\n#TITLE:x\n: 0 4 12 la\nE\n";
  std::filesystem::create_directory(Folder.File("recovery"));
  const std::string file = Folder.Write("recovery/app.conf.0000000000000000.recovery", forged);
  std::filesystem::last_write_time(file, std::filesystem::file_time_type::clock::now() +
                                             std::chrono::seconds(2));
  Start();
  ASSERT_EQ(RecoverQuestions.size(), 1u);
  EXPECT_EQ(RecoverQuestions[0].toStdString(), config);
  YesNoAnswer = false;
  Form->SongSave->trigger();
  ASSERT_EQ(YesNoQuestions.size(), 1u);
  EXPECT_NE(YesNoQuestions[0].find("changed by another program"), std::string::npos);
  EXPECT_EQ(Folder.Read("app.conf"), "key=value\n");
  YesNoAnswer = true;
  Form->SongSave->trigger();
  EXPECT_EQ(Folder.Read("app.conf.bak"), "key=value\n");
}

// Two editors on one song keep a file each; a start offers each in turn, and a
// song folder whose name holds a line break is recovered in place.
TEST_F(Recovery, EachEditorsChangesAreOfferedInTurn) {
  std::filesystem::create_directory(Folder.File("two\nlines"));
  const std::string other = Folder.Write("two\nlines/other.txt", SmallSong);
  Start(QString::fromStdString(song));
  Form->OctaveUpExecute();
  Form->WaitForRecovery();
  const std::string first = RecoveryFile(song);
  // What a second editor, since killed, kept of its song.
  songData::TSong theirs = Song;
  theirs.SongDir = Folder.File("two\nlines");
  theirs.SongFileName = "other.txt";
  const std::string second = songData::RecoveryFilePath(Folder.File("recovery"), other, 999999999);
  songData::WriteRecoveryFile(second, songData::RecoveryText(theirs, MyServis::FileStamp(other)));
  std::filesystem::last_write_time(first, std::filesystem::file_time_type::clock::now() +
                                              std::chrono::seconds(2));
  MakeForm();
  RecoverAnswer = false;
  Start();
  EXPECT_EQ(RecoverQuestions.size(), 2u); // both, newest first, both discarded
  EXPECT_FALSE(std::filesystem::exists(first));
  EXPECT_FALSE(std::filesystem::exists(second));
  songData::WriteRecoveryFile(second, songData::RecoveryText(theirs, MyServis::FileStamp(other)));
  MakeForm();
  RecoverAnswer = true;
  RecoverQuestions.clear();
  Start();
  ASSERT_EQ(RecoverQuestions.size(), 1u);
  EXPECT_EQ(RecoverQuestions[0].toStdString(), other);
  EXPECT_EQ(Song.SongDir + "/" + Song.SongFileName, other);
  Form->SongSave->trigger(); // unchanged since: no question
  EXPECT_TRUE(YesNoQuestions.empty());
  EXPECT_NE(Folder.Read("two\nlines/other.txt").find(": 0 4 24 la"), std::string::npos);
  Form->WaitForRecovery();
  EXPECT_FALSE(std::filesystem::exists(second));
}

TEST_F(Recovery, DiscardRemovesTheChangesAndOpensAsUsual) {
  Start(QString::fromStdString(song));
  Form->OctaveUpExecute();
  MakeForm();
  RecoverAnswer = false;
  Form->SetStartupSong(song);
  Start();
  EXPECT_EQ(RecoverQuestions.size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(RecoveryFile(song)));
  EXPECT_EQ(Song.Notes[0].Pitch, 12);
  EXPECT_FALSE(Form->IsModified());
}

// Undo back to the loaded song is no unsaved change, also when its tempo and gap
// are not exact in single precision, as the history keeps them.
TEST_F(MainWindow, UndoBackToTheLoadedSongLeavesNothingUnsaved) {
  Start(QString::fromStdString(
      WriteSong("odd.txt", "#TITLE:Odd\r\n#BPM:123,45\r\n#GAP:1234\r\n: 0 4 12 la\r\nE\r\n")));
  Form->OctaveUpExecute();
  EXPECT_TRUE(Form->IsModified());
  Form->UndoActionExecute();
  EXPECT_FALSE(Form->IsModified());
  EXPECT_EQ(Form->windowTitle(), "odd.txt[*] - Chorvanta Song Editor");
  EXPECT_FALSE(Form->isWindowModified());
  Form->WaitForRecovery();
  EXPECT_FALSE(std::filesystem::exists(
      songData::RecoveryFilePath(Folder.File("recovery"), Folder.File("odd.txt"), ::getpid())));
}

TEST_F(Recovery, NothingIsKeptWithoutUnsavedChanges) {
  Start(QString::fromStdString(song));
  Form->OctaveUpExecute();
  Form->UndoActionExecute(); // back to the song as saved
  Form->WaitForRecovery();
  EXPECT_FALSE(std::filesystem::exists(RecoveryFile(song)));
  Form->OctaveUpExecute();
  SaveAnswer = app::TSaveAnswer::Discard;
  Form->close();
  Form->WaitForRecovery();
  EXPECT_FALSE(std::filesystem::exists(RecoveryFile(song)));
  MakeForm();
  Start();
  EXPECT_TRUE(RecoverQuestions.empty());
}

// A read-only folder, a full disk and a save stopped before its rename.
TEST_F(MainWindow, SaveFaultsKeepTheSongOnDiskAndTheChangesUnsaved) {
  const std::string song = WriteSong("small.txt", SmallSong);
  Start(QString::fromStdString(song));
  Form->OctaveUpExecute();
  MyServis::TWriteFaults readOnly, diskFull, stopped;
  readOnly.CreateError = EACCES;
  diskFull.BytesBeforeDiskFull = 10;
  stopped.StopBeforeRename = true;
  for (const MyServis::TWriteFaults& faults : {readOnly, diskFull, stopped}) {
    ErrorTexts.clear();
    MyServis::SetWriteFaults(faults);
    Form->SongSave->trigger();
    MyServis::SetWriteFaults({});
    ASSERT_EQ(ErrorTexts.size(), 1u);
    EXPECT_NE(ErrorTexts[0].find("small.txt"), std::string::npos) << ErrorTexts[0];
    EXPECT_EQ(Folder.Read("small.txt"), SmallSong);
    EXPECT_TRUE(Form->IsModified());
    EXPECT_EQ(Song.Notes[0].Pitch, 24);
  }
  Form->SongSave->trigger();
  EXPECT_FALSE(Form->IsModified());
}

// A song file the user may not write is refused, not replaced behind its back.
TEST_F(MainWindow, SaveRefusesAReadOnlySongFile) {
  const std::string song = WriteSong("small.txt", SmallSong);
  Start(QString::fromStdString(song));
  Form->OctaveUpExecute();
  std::filesystem::permissions(song, std::filesystem::perms::owner_read);
  Form->SongSave->trigger();
  EXPECT_EQ(ErrorTexts, std::vector<std::string>{"The song file is read-only"});
  EXPECT_EQ(Folder.Read("small.txt"), SmallSong);
  EXPECT_TRUE(Form->IsModified());
  std::filesystem::permissions(song, std::filesystem::perms::owner_all);
  Form->SongSave->trigger();
  EXPECT_FALSE(Form->IsModified());
  EXPECT_EQ(std::filesystem::status(song).permissions(), std::filesystem::perms::owner_all);
}

TEST_F(MainWindow, SaveAsksBeforeOverwritingAnotherProgramsChanges) {
  const std::string song = WriteSong("small.txt", SmallSong);
  Start(QString::fromStdString(song));
  Form->OctaveUpExecute();
  const std::string theirs = "#TITLE:Theirs\r\n#BPM:100\r\nE\r\n";
  Folder.Write("small.txt", theirs);
  std::filesystem::last_write_time(Folder.File("small.txt"),
                                   std::filesystem::file_time_type::clock::now() +
                                       std::chrono::seconds(3));
  YesNoAnswer = false;
  Form->SongSave->trigger();
  ASSERT_EQ(YesNoQuestions.size(), 1u);
  EXPECT_NE(YesNoQuestions[0].find("changed by another program"), std::string::npos);
  EXPECT_EQ(Folder.Read("small.txt"), theirs);
  EXPECT_TRUE(Form->IsModified());
  YesNoAnswer = true;
  Form->SongSave->trigger();
  EXPECT_EQ(YesNoQuestions.size(), 2u);
  EXPECT_FALSE(Form->IsModified());
  Form->OctaveUpExecute();
  Form->SongSave->trigger(); // its own last save is no change by another program
  EXPECT_EQ(YesNoQuestions.size(), 2u);
}

} // namespace
