#include "main_window_fixture.h"
#include "song/recovery_file.h"
#include "support/file_io.h"

#include <QAction>
#include <cerrno>
#include <filesystem>

namespace {

const std::string SmallSong = "#TITLE:Small\r\n#BPM:200\r\n: 0 4 12 la\r\n: 8 4 14 lo\r\nE\r\n";

class Recovery : public MainWindow {
protected:
  std::string RecoveryFile(const std::string& song) const {
    return songData::RecoveryFilePath(Folder.File("recovery"), song);
  }
  std::string song = WriteSong("small.txt", SmallSong);
};

TEST_F(Recovery, AKilledEditorOffersItsUnsavedChangesBack) {
  Start(QString::fromStdString(song));
  EXPECT_TRUE(RecoverQuestions.empty());
  Form->OctaveUpExecute();
  ASSERT_TRUE(std::filesystem::exists(RecoveryFile(song)));
  EXPECT_EQ(Folder.Read("small.txt"), SmallSong); // the song file is never touched
  SongDialogFolders.clear();
  MakeForm(); // killed: no close, no question
  Start();
  ASSERT_EQ(RecoverQuestions.size(), 1u);
  EXPECT_EQ(RecoverQuestions[0], "small.txt");
  EXPECT_TRUE(SongDialogFolders.empty()); // the recovered song in place of the Open dialog
  ASSERT_EQ(Song.Notes.size(), 2u);
  EXPECT_EQ(Song.Notes[0].Pitch, 24);
  EXPECT_EQ(Song.SongFileName, "small.txt");
  EXPECT_TRUE(Form->IsModified());
  EXPECT_EQ(Folder.Read("small.txt"), SmallSong);
  // A deliberate save ends the recovery.
  Form->SongSave->trigger();
  EXPECT_FALSE(std::filesystem::exists(RecoveryFile(song)));
  EXPECT_NE(Folder.Read("small.txt").find(": 0 4 24 la"), std::string::npos);
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

TEST_F(Recovery, NothingIsKeptWithoutUnsavedChanges) {
  Start(QString::fromStdString(song));
  Form->OctaveUpExecute();
  Form->UndoActionExecute(); // back to the song as saved
  EXPECT_FALSE(std::filesystem::exists(RecoveryFile(song)));
  Form->OctaveUpExecute();
  SaveAnswer = app::TSaveAnswer::Discard;
  Form->close();
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
