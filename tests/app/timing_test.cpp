#include "audio/audio_fixtures.h"
#include "main_window_fixture.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <cmath>

namespace {

// At 15 BPM one beat lasts one second.
const std::string SlowSong = "#BPM:15\r\n#GAP:500\r\n: 1 2 5 la\r\nE\r\n";

TEST_F(MainWindow, SpeedBoxAndKeysSetThePlayersSpeed) {
  Start();
  ASSERT_EQ(Form->SpeedBox->count(), 5);
  EXPECT_EQ(Form->SpeedBox->currentText(), "100 %");
  EXPECT_EQ(player::PlaybackSpeed(Player), 1.0);
  const double slower[] = {0.9, 0.75, 0.6, 0.5, 0.5};
  for (double speed : slower) {
    Form->Slower->trigger();
    EXPECT_EQ(player::PlaybackSpeed(Player), speed);
  }
  EXPECT_EQ(Form->SpeedBox->currentText(), "50 %");
  Form->Faster->trigger();
  EXPECT_EQ(player::PlaybackSpeed(Player), 0.6);
  Form->SpeedBox->setCurrentIndex(0);
  Form->Faster->trigger();
  EXPECT_EQ(player::PlaybackSpeed(Player), 1.0);
}

// The output holds back a known queue once its second of frames is recorded, so
// the mixing position stands still while the cursor is checked against it.
TEST_F(MainWindow, TheCursorShowsWhatIsHeardNotWhatIsMixed) {
  WriteMusic("slow.mp3", 4.0);
  Start(QString::fromStdString(WriteSong("slow.txt", SlowSong)));
  Form->Dialogs.RunSettings = [](int current) {
    EXPECT_EQ(current, 0);
    return std::optional<int>(100);
  };
  Form->SettingsAction->trigger();
  Form->View.CursorTime = 0.0;
  Form->plPlayExecute();
  Output->Truncate(0); // a second of playback from here
  Output->WaitForFrames(44100);
  const double mixed = player::PlayPositionSeconds(Player) - 0.5; // song time
  Output->SetQueuedSeconds(0.25);
  Form->TimerTimer();
  EXPECT_NEAR(Form->View.CursorTime, mixed - 0.35, 1e-4);
  Form->plStopExecute();
  EXPECT_NEAR(Form->View.CursorTime, mixed - 0.35, 1e-4);
  EXPECT_NE(Folder.Read("settings.ctl").find("AudioLatency"), std::string::npos);
}

// Clicks at 100 BPM from 1.5 s on.
void WriteClicks(const TTempFolder& folder) {
  const int rate = 44100;
  std::vector<std::int16_t> samples(static_cast<std::size_t>(20 * rate));
  for (double t = 1.5; t < 19.5; t += 0.6)
    for (int i = 0; i < 220; ++i)
      samples[static_cast<std::size_t>(t * rate) + i] =
          static_cast<std::int16_t>(20000 * std::sin(2 * M_PI * 1000 * i / rate));
  audiotest::EncodeMp3(folder.File("clicks.mp3"), samples, rate, 1);
}

TEST_F(MainWindow, DetectTempoProposesBpmAndGapAsOneUndoStep) {
  WriteClicks(Folder);
  Start(QString::fromStdString(WriteSong("song.txt", "#MP3:clicks.mp3\r\n#BPM:200\r\nE\r\n")));
  std::vector<tempo::TTempoEstimate> offered;
  std::optional<double> answer;
  Form->Dialogs.ChooseTempo = [&](const tempo::TTempoEstimate& estimate) {
    offered.push_back(estimate);
    return answer;
  };
  Form->DetectTempo->trigger(); // cancelled
  ASSERT_EQ(offered.size(), 1u);
  EXPECT_NEAR(offered[0].Bpm, 100.0, 0.5);
  EXPECT_NEAR(offered[0].GapMs, 1500.0, 15.0);
  EXPECT_EQ(Song.BPM, 200.0);
  answer = offered[0].Bpm;
  Form->DetectTempo->trigger();
  EXPECT_EQ(Song.BPM, *answer);
  EXPECT_NEAR(Song.MusicOffset, -offered[1].GapMs / 1000, 1e-9);
  EXPECT_NEAR(Form->editBPM->text().replace(',', '.').toDouble(), 100.0, 0.5);
  Form->UndoActionExecute();
  EXPECT_EQ(Song.BPM, 200.0);
  EXPECT_EQ(Song.MusicOffset, 0.0);
  EXPECT_TRUE(ErrorTexts.empty());
}

TEST_F(MainWindow, DetectTempoWithoutMusicSaysSo) {
  Start(QString::fromStdString(WriteSong("song.txt", "#BPM:200\r\nE\r\n")));
  Form->DetectTempo->trigger();
  ASSERT_EQ(ErrorTexts.size(), 1u);
  EXPECT_NE(ErrorTexts[0].find("no music"), std::string::npos) << ErrorTexts[0];
}

} // namespace
