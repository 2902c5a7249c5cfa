#include "app/image_widget.h"
#include "main_window_fixture.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <filesystem>

namespace {

const std::string SmallSong = "#TITLE:Small\r\n#BPM:300\r\n#GAP:1500\r\n"
                              ": 0 4 12 Hel\r\n: 4 4 14 lo\r\n- 10\r\n* 12 2 12 world\r\nE\r\n";

TEST_F(MainWindow, LoadWithoutMusicShowsTheSong) {
  Start(QString::fromStdString(WriteSong("small.txt", SmallSong)));
  EXPECT_EQ(Form->editBPM->text(), "300");
  EXPECT_EQ(Form->editGAP->text(), "1,5");
  EXPECT_EQ(Form->TransposeBox->currentText(), "C4 = 0");
  EXPECT_EQ(MemoLines(), (QStringList{"Hel", "lo", "world", ""}));
  EXPECT_EQ(History.UndoCount, 1);
  EXPECT_FALSE(Song.MusicLoaded);
  for (QAction* action : {Form->SongSave, Form->SongSaveAs, Form->ChooseMusic, Form->EditTags})
    EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();
  // No music: a timeline of 100 s from 1 s before the gap.
  EXPECT_EQ(Form->Scroll->minimum(), -40);
  EXPECT_EQ(Form->Scroll->maximum(), 1025);
  EXPECT_FALSE(Form->IsModified());
  EXPECT_EQ(Form->windowTitle(), "small.txt[*] - Chorvanta Song Editor");
}

TEST_F(MainWindow, LoadWithMusicDecodesItAndStartsTheAnalysis) {
  WriteMusic("small.mp3", 3.0);
  Start(QString::fromStdString(WriteSong("small.txt", SmallSong)));
  analyser::WaitForAnalysers(Analyser);
  EXPECT_TRUE(Song.MusicLoaded);
  EXPECT_EQ(Song.MusicFileName, "small.mp3");
  EXPECT_NEAR(songData::MusicDuration(Music), 3.0, 0.1);
  EXPECT_EQ(Analyser.SpectrumStrips.size(), 1u);
  EXPECT_EQ(Form->View.CursorTime, Song.MusicOffset);
  EXPECT_EQ(Form->Scroll->maximum(), 155); // 3 s of music and 10 s more from -2.5 s
  EXPECT_TRUE(Form->SongOpen->isEnabled());
}

TEST_F(MainWindow, LoadTellsWhatReadingChangedAndTheAnalysisLeavesItInSight) {
  // Relative beats, a line nobody understands, and a Windows-1252 text that
  // outgrows a note in UTF-8.
  const std::string odd = "#BPM:120\r\n#RELATIVE:yes\r\n: 0 4 8 a\r\nwhat is this\r\n"
                          "- 6 8\r\n: 0 4 8 " +
                          std::string(40, '\xE9') + "\r\nE\r\n";
  WriteMusic("odd.mp3", 1.0);
  Start(QString::fromStdString(WriteSong("odd.txt", odd)));
  analyser::WaitForAnalysers(Analyser);
  EventMan::ProcessThreadEvents(Events);
  const QString status = Form->StatusPanels[3]->text();
  for (const char* part : {"converted from Windows-1252", "relative beats were made absolute",
                           "1 text was cut to 47 bytes (line 6)",
                           "1 line of this file was not understood and will be dropped on save "
                           "(line 4)"})
    EXPECT_TRUE(status.contains(part)) << part << " in " << status.toStdString();
  EXPECT_EQ(Form->StatusPanels[3]->toolTip(), status); // whole, however narrow the panel
  // A song read as it is says nothing, and its analysis shows as before.
  WriteMusic("small.mp3", 1.0);
  Form->LoadSong(WriteSong("small.txt", SmallSong));
  analyser::WaitForAnalysers(Analyser);
  EventMan::ProcessThreadEvents(Events);
  EXPECT_EQ(Form->StatusPanels[3]->text(), "Done");
}

// The music decodes off the window's thread: the window goes on, input other
// than the Cancel button waits, and Cancel leaves the song without music.
TEST_F(MainWindow, LoadingMusicCanBeCancelledAndTakesNoOtherInput) {
  WriteMusic("small.mp3", 20.0);
  const std::string song = WriteSong("small.txt", SmallSong);
  Start();
  const std::size_t notes = 4; // three notes and a line break
  // A click on the grid and a key, made while the music loads.
  const editor::TViewLayout layout = Form->Layout();
  const QPoint grid(300, (layout.GridTop + layout.GridBottom) / 2);
  QCoreApplication::postEvent(Form->MainImg,
                              new QMouseEvent(QEvent::MouseButtonPress, grid,
                                              Form->MainImg->mapToGlobal(grid), Qt::LeftButton,
                                              Qt::LeftButton, Qt::NoModifier));
  QCoreApplication::postEvent(Form.get(),
                              new QKeyEvent(QEvent::KeyPress, Qt::Key_Z, Qt::ControlModifier));
  QTimer::singleShot(0, Form->CancelLoad, [this] { Form->CancelLoad->click(); });
  Form->LoadSong(song);
  EXPECT_FALSE(Song.MusicLoaded);
  EXPECT_EQ(Song.Notes.size(), notes);
  EXPECT_TRUE(ErrorTexts.empty());
  EXPECT_TRUE(Form->StatusPanels[3]->text().contains("Loading the music was cancelled."));
  EXPECT_FALSE(Form->CancelLoad->isVisible());
  EXPECT_TRUE(Form->SongOpen->isEnabled());
  // Loaded again, it decodes whole.
  Form->LoadSong(song);
  EXPECT_TRUE(Song.MusicLoaded);
  EXPECT_NEAR(songData::MusicDuration(Music), 20.0, 0.1);
}

TEST_F(MainWindow, UnreadableMusicIsReportedAndOpenStaysAvailable) {
  Folder.Write("small.mp3", std::string(4000, 'x'));
  Start(QString::fromStdString(WriteSong("small.txt", SmallSong)));
  ASSERT_EQ(ErrorTexts.size(), 1u);
  EXPECT_EQ(ErrorTexts[0].rfind("Exception during song loading: ", 0), 0u) << ErrorTexts[0];
  EXPECT_FALSE(Song.MusicLoaded);
  EXPECT_TRUE(Form->SongOpen->isEnabled());
  EXPECT_EQ(MemoLines()[0], "Hel"); // the song itself is there
}

TEST_F(MainWindow, SaveWritesTheSongAndKeepsTheLoadedFileAsBackup) {
  const std::string path = WriteSong("small.txt", SmallSong);
  Start(QString::fromStdString(path));
  Form->editBPM->setText("150");
  Form->editBPMExit();
  EXPECT_TRUE(Form->IsModified());
  EXPECT_TRUE(Form->isWindowModified());
  Form->SongSaveExecute();
  EXPECT_FALSE(Form->IsModified());
  EXPECT_EQ(Folder.Read("small.bak"), SmallSong);
  EXPECT_NE(Folder.Read("small.txt").find("#BPM:150\r\n"), std::string::npos);
}

TEST_F(MainWindow, FailedSaveNamesTheFileAndKeepsTheSong) {
  Start(QString::fromStdString(WriteSong("small.txt", SmallSong)));
  Form->OctaveUpExecute();
  Song.SongDir = Folder.File("gone");
  bool failed = false;
  try {
    Form->SongSaveExecute();
  } catch (const std::exception& e) {
    failed = true;
    EXPECT_NE(std::string(e.what()).find("gone/small.txt"), std::string::npos) << e.what();
  }
  EXPECT_TRUE(failed);
  EXPECT_TRUE(Form->IsModified());
  EXPECT_EQ(Song.Notes[0].Pitch, 24);
}

struct TAnswerCase {
  app::TSaveAnswer Answer;
  bool Replaced; // the other song was opened
  bool Saved;    // the edit reached the file
};

class UnsavedChanges : public MainWindow, public testing::WithParamInterface<TAnswerCase> {};

TEST_P(UnsavedChanges, OpenAsksFirstAndFollowsTheAnswer) {
  const std::string first = WriteSong("small.txt", SmallSong);
  const std::string second = WriteSong("other.txt", "#BPM:200\r\nE\r\n");
  Start(QString::fromStdString(first));
  Form->OctaveUpExecute();
  SaveAnswer = GetParam().Answer;
  SongChoice = QString::fromStdString(second);
  Form->SongOpenExecute();
  EXPECT_EQ(SaveQuestions, std::vector<QString>{"small.txt"});
  EXPECT_EQ(Song.BPM == 200.0, GetParam().Replaced);
  EXPECT_EQ(Folder.Read("small.txt").find(": 0 4 24 Hel") != std::string::npos, GetParam().Saved);
}

INSTANTIATE_TEST_SUITE_P(Answers, UnsavedChanges,
                         testing::Values(TAnswerCase{app::TSaveAnswer::Save, true, true},
                                         TAnswerCase{app::TSaveAnswer::Discard, true, false},
                                         TAnswerCase{app::TSaveAnswer::Cancel, false, false}));

TEST_F(MainWindow, NothingIsAskedWithoutChangesAndClosingAsksWithThem) {
  Start(QString::fromStdString(WriteSong("small.txt", SmallSong)));
  Form->OctaveUpExecute();
  Form->OctaveDownExecute(); // back to what the file holds
  SongChoice = QString::fromStdString(WriteSong("other.txt", "#BPM:200\r\n: 0 1 5 x\r\nE\r\n"));
  Form->SongOpenExecute();
  EXPECT_TRUE(SaveQuestions.empty());
  EXPECT_EQ(Song.BPM, 200.0);
  Form->OctaveUpExecute();
  SaveAnswer = app::TSaveAnswer::Cancel;
  EXPECT_FALSE(Form->close());
  EXPECT_EQ(SaveQuestions.size(), 1u);
  SaveAnswer = app::TSaveAnswer::Discard;
  EXPECT_TRUE(Form->close());
}

// New Song starts where the last new song was made, also after a restart.
TEST_F(MainWindow, NewSongStartsInTheLastLocationUsed) {
  std::filesystem::create_directory(Folder.File("songs"));
  Start(QString::fromStdString(WriteSong("small.txt", SmallSong)));
  Form->CreateNewSong(Folder.File("songs"), "First", false);
  MakeForm();
  Start();
  std::string offered;
  Form->Dialogs.RunNewSongDialog = [&] {
    offered = NewSongWnd->Location();
    return false;
  };
  Form->SongNewExecute();
  EXPECT_EQ(offered, Folder.File("songs"));
}

TEST_F(MainWindow, NewSongMakesItsFolderAndAnEmptySong) {
  Start(QString::fromStdString(WriteSong("small.txt", SmallSong)));
  Form->CreateNewSong(Folder.Path(), "Fresh", true);
  EXPECT_TRUE(std::filesystem::is_directory(Folder.File("Fresh")));
  EXPECT_EQ(Song.SongFileName, "Fresh.txt");
  EXPECT_TRUE(Song.Notes.empty());
  EXPECT_TRUE(Song.UseBOM);
  EXPECT_EQ(Song.BPM, 300.0); // the timing carries over
  EXPECT_EQ(MemoLines(), QStringList{""});
  EXPECT_EQ(History.UndoCount, 1);
  Form->CreateNewSong(Folder.Path(), "v1.2", false);
  EXPECT_EQ(Song.SongFileName, "v1.2");
  Form->SongSaveExecute();
  EXPECT_TRUE(Folder.Exists("v1.2/v1.2"));
}

TEST_F(MainWindow, NewSongInAnExistingFolderAsksAndNoKeepsTheSong) {
  Start(QString::fromStdString(WriteSong("small.txt", SmallSong)));
  std::filesystem::create_directory(Folder.File("Old"));
  YesNoAnswer = false;
  Form->CreateNewSong(Folder.Path(), "Old", false);
  EXPECT_EQ(YesNoQuestions.size(), 1u);
  EXPECT_EQ(Song.SongFileName, "small.txt");
  YesNoAnswer = true;
  Form->CreateNewSong(Folder.Path(), "Old", false);
  EXPECT_EQ(Song.SongFileName, "Old.txt");
}

TEST_F(MainWindow, NewSongFolderThatCannotBeMadeIsReportedAtOnce) {
  Start();
  Folder.Write("taken", "a file, not a folder");
  Form->CreateNewSong(Folder.Path() + "/taken", "Song", false);
  Form->CreateNewSong(Folder.Path(), "../escape", false);
  ASSERT_EQ(ErrorTexts.size(), 2u);
  EXPECT_FALSE(Form->SongSave->isEnabled());
}

TEST_F(MainWindow, ChooseMusicRecordsItInTheSong) {
  WriteMusic("tune.mp3", 1.0);
  const std::string path = WriteSong("small.txt", SmallSong);
  Start(QString::fromStdString(path));
  Form->Dialogs.ChooseMusicFile = [this](const QString&) {
    return QString::fromStdString(Folder.File("tune.mp3"));
  };
  Form->ChooseMusicExecute();
  EXPECT_TRUE(Song.MusicLoaded);
  EXPECT_TRUE(Form->IsModified());
  Form->SongSaveExecute();
  EXPECT_NE(Folder.Read("small.txt").find("#MP3:tune.mp3\r\n"), std::string::npos);
}

TEST_F(MainWindow, ChooseMusicNamesTheChoiceInAudioToo) {
  WriteMusic("old.mp3", 1.0);
  WriteMusic("tune.mp3", 1.0);
  Start(QString::fromStdString(WriteSong("small.txt", "#AUDIO:old.mp3\r\n" + SmallSong)));
  EXPECT_EQ(Song.MusicFileName, "old.mp3");
  Form->Dialogs.ChooseMusicFile = [this](const QString&) {
    return QString::fromStdString(Folder.File("tune.mp3"));
  };
  Form->ChooseMusicExecute();
  Form->SongSaveExecute();
  Form->LoadSong(Folder.File("small.txt"));
  EXPECT_EQ(Song.MusicFileName, "tune.mp3");
}

} // namespace
