#include "main_window_fixture.h"
#include "support/file_io.h"
#include "support/program_files.h"
#include "support/program_settings.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <filesystem>
#include <sys/stat.h>

namespace {

TEST_F(MainWindow, StartsWithAnEmptySongAndAsksForOne) {
  Start();
  EXPECT_TRUE(Form->Activated());
  EXPECT_EQ(SongDialogFolders.size(), 1u); // the Open command ran
  EXPECT_EQ(Song.BPM, 125.0);
  EXPECT_EQ(Form->View.PixelsPerBeat, 15);
  EXPECT_EQ(History.UndoCount, 1);
  EXPECT_FALSE(Form->SongSave->isEnabled());
  EXPECT_FALSE(Form->UndoAction->isEnabled());
  EXPECT_TRUE(Form->plPlay->isEnabled());
  EXPECT_FALSE(Form->plStop->isEnabled());
  EXPECT_EQ(Form->editBPM->text(), "125");
  EXPECT_EQ(Form->TransposeBox->currentText(), "C4 = 0");
  EXPECT_TRUE(ErrorTexts.empty());
  // A second activation repeats nothing.
  Form->FormActivate();
  EXPECT_EQ(SongDialogFolders.size(), 1u);
}

TEST_F(MainWindow, MissingSettingsAreStartedAnewWithoutAnErrorBox) {
  Start();
  EXPECT_TRUE(Folder.Exists("settings.ctl"));
  EXPECT_TRUE(ErrorTexts.empty());
}

TEST_F(MainWindow, DamagedSettingsAreKeptAsideAndOpenStillWorks) {
  Folder.Write("settings.ctl", "$SECTION\r\n");
  const std::string song = WriteSong("a.txt", "#BPM:200\r\n: 0 4 5 la\r\nE\r\n");
  Start(QString::fromStdString(song));
  EXPECT_TRUE(ErrorTexts.empty());
  EXPECT_TRUE(Folder.Exists("settings.ctl.damaged"));
  EXPECT_EQ(Song.BPM, 200.0);
  EXPECT_NE(Folder.Read("settings.ctl").find("a.txt"), std::string::npos);
}

// A folder, or a FIFO that would block the start if it were read or written.
TEST_F(MainWindow, SettingsThatCannotBeMadeAreDoneWithout) {
  for (const bool fifo : {false, true}) {
    const std::string settings = Folder.File("settings.ctl");
    std::filesystem::remove_all(settings);
    if (fifo)
      ASSERT_EQ(::mkfifo(settings.c_str(), 0600), 0);
    else
      std::filesystem::create_directory(settings);
    MakeForm();
    const std::string song = WriteSong("a.txt", "#BPM:200\r\nE\r\n");
    Start(QString::fromStdString(song));
    EXPECT_TRUE(ErrorTexts.empty());
    EXPECT_EQ(Song.BPM, 200.0);
    EXPECT_NE(Folder.Read("main.log").find("without settings"), std::string::npos);
    EXPECT_EQ(std::filesystem::is_fifo(settings), fifo);
  }
}

// Undo reaches back as many edits as the settings say.
TEST_F(MainWindow, UndoReachesBackTheStepsTheSettingsAllow) {
  Folder.Write("settings.ctl", "UndoSteps \"2\"\r\n");
  Start(QString::fromStdString(WriteSong("a.txt", "#BPM:200\r\n: 0 4 5 la\r\nE\r\n")));
  for (int i = 0; i < 3; ++i)
    Form->OctaveUpExecute();
  while (songData::CanUndo(History))
    Form->UndoActionExecute();
  EXPECT_EQ(Song.Notes[0].Pitch, 5 + 12);
}

// F1 without a program that shows the manual says so, naming the manual.
TEST_F(MainWindow, AManualThatCannotBeShownIsToldOf) {
  Start();
  std::vector<QString> opened;
  Form->Dialogs.OpenDocument = [&](const QString& path) {
    opened.push_back(path);
    return false;
  };
  Form->Help->trigger();
  ASSERT_EQ(opened.size(), 1u);
  ASSERT_EQ(ErrorTexts.size(), 1u);
  EXPECT_NE(ErrorTexts[0].find(opened[0].toStdString()), std::string::npos) << ErrorTexts[0];
}

// The About box names the licence the program is distributed under.
TEST_F(MainWindow, TheAboutBoxNamesTheLicence) {
  bool named = false;
  for (const QLabel* label : AboutBox->findChildren<QLabel*>())
    named = named || label->text().contains("GNU General Public License, version 3 or later");
  EXPECT_TRUE(named);
}

// Before any song was opened, the demo song that ships with the program.
TEST_F(MainWindow, OpenStartsInTheFolderOfTheRecentSongElseOfTheDemo) {
  const std::string song = WriteSong("a.txt", "#BPM:200\r\nE\r\n");
  Start(QString::fromStdString(song));
  Form->SongOpenExecute();
  ASSERT_EQ(SongDialogFolders.size(), 2u);
  EXPECT_EQ(SongDialogFolders[0].toStdString(),
            MyServis::FolderOfPath(MyServis::ShippedFile("examples/demo/demo.txt")));
  EXPECT_EQ(SongDialogFolders[1].toStdString(), Folder.Path());
}

TEST_F(MainWindow, SongOnTheCommandLineOpensInPlaceOfTheDialog) {
  Form->SetStartupSong(WriteSong("b.txt", "#BPM:300\r\nE\r\n"));
  Start();
  EXPECT_TRUE(SongDialogFolders.empty());
  EXPECT_EQ(Song.BPM, 300.0);
}

} // namespace
