#include "main_window_fixture.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSlider>
#include <algorithm>

namespace {

// At 15 BPM one beat lasts one second.
const std::string SlowSong = "#BPM:15\r\n: 1 2 5 la\r\nE\r\n";

// Without music the tones play over silence up to a second after the last note.
TEST_F(MainWindow, PlayWithoutMusicSoundsTheTonesThenStopsAtTheNextTick) {
  Start(QString::fromStdString(WriteSong("slow.txt", SlowSong)));
  Form->MixBar->setValue(10); // tones at full tone mix
  Form->View.CursorTime = 1.5;
  Form->plPlayExecute();
  Output->Truncate(0);
  EXPECT_EQ(Player.CurrentTone, 5);
  Output->WaitForFrames(8820);
  const std::vector<std::int16_t> samples = Output->Samples();
  EXPECT_GT(std::count_if(samples.begin() + 2 * 4410, samples.begin() + 2 * 8820,
                          [](std::int16_t s) { return std::abs(s) > 1000; }),
            1000);
  Form->plStopExecute();

  Form->View.CursorTime = 4.5; // past the silence's end
  Form->plPlayExecute();
  EXPECT_FALSE(Form->plPlay->isEnabled());
  EXPECT_FALSE(Form->editBPM->isEnabled());
  EXPECT_FALSE(Form->Lyrics->isEnabled());
  Form->TimerTimer();
  EXPECT_TRUE(Form->plPlay->isEnabled());
  EXPECT_FALSE(Form->plStop->isEnabled());
  EXPECT_TRUE(Form->editBPM->isEnabled());
  EXPECT_TRUE(Form->Lyrics->isEnabled());
  EXPECT_EQ(Form->Progress->value(), 0);
}

TEST_F(MainWindow, PlaybackFromInsideANoteSoundsItAtOnce) {
  WriteMusic("slow.mp3", 4.0);
  Start(QString::fromStdString(WriteSong("slow.txt", SlowSong)));
  Form->MixBar->setValue(10); // tones only
  Form->View.CursorTime = 1.5;
  Form->plPlayExecute();
  Output->Truncate(0); // from here on every frame is of the playback
  EXPECT_EQ(Player.CurrentTone, 5);
  EXPECT_TRUE(Form->plStop->isEnabled());
  // Undo stays off while playing, even with history.
  Form->OctaveUpExecute();
  Form->TimerTimer();
  EXPECT_FALSE(Form->UndoAction->isEnabled());
  Output->WaitForFrames(8820);
  std::vector<std::int16_t> samples = Output->Samples();
  int loud = 0;
  for (std::size_t i = 2 * 4410; i < 2 * 8820; ++i)
    loud += std::abs(samples[i]) > 1000 ? 1 : 0;
  EXPECT_GT(loud, 1000);
  Form->plStopExecute();
  Form->TimerTimer();
  EXPECT_TRUE(Form->UndoAction->isEnabled());
  EXPECT_EQ(Player.CurrentTone, player::NoTone);
}

TEST_F(MainWindow, MixerBarSetsMusicAndToneGains) {
  Start();
  Form->MixBar->setValue(0);
  EXPECT_EQ(Player.MusicVolumeTarget, 4096u);
  EXPECT_EQ(Player.ToneMix, 0);
  Form->MixBar->setValue(4);
  EXPECT_EQ(Player.MusicVolumeTarget, 2458u);
  EXPECT_EQ(Player.ToneMix, 1638);
}

TEST_F(MainWindow, AnalyserProgressReachesTheStatusBar) {
  Start();
  EventMan::PostEvent(Events, "MAIN\\Analyser", 42);
  EXPECT_EQ(Form->StatusPanels[3]->text(), "Analysing...");
  EXPECT_EQ(Form->Progress->value(), 42);
  EventMan::PostEvent(Events, "MAIN\\Analyser", 100);
  EXPECT_EQ(Form->StatusPanels[3]->text(), "Done");
}

} // namespace
