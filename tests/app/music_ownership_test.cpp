// The window's music belongs to the song shown: another song without music
// keeps nothing of the previous one, and Choose Music during playback lets the
// old music go only once nothing reads it.
#include "main_window_fixture.h"
#include "view_input.h"

#include <QAction>
#include <QLabel>
#include <QSlider>
#include <algorithm>
#include <functional>

namespace {

// At 60 BPM a beat lasts a quarter second: the note lies from 0.25 s to 2.25 s.
const std::string Notes = "#BPM:60\r\n#GAP:0\r\n: 1 8 0 la\r\nE\r\n";

class MusicOwnership : public MainWindow {
protected:
  // A song whose music is an A4 sine, opened, analysed and tracked.
  void OpenSongWithMusic() {
    WriteMusic("sung.mp3", 3.0);
    const std::string song = WriteSong("sung.txt", "#MP3:sung.mp3\r\n" + Notes);
    if (Form->Activated())
      Form->LoadSong(song);
    else
      Start(QString::fromStdString(song));
    Form->FinishPitchTracking();
    analyser::WaitForAnalysers(Analyser);
  }
  // Music only: the samples played after Play are those of the music.
  std::vector<std::int16_t> PlayedMusic() {
    Form->MixBar->setValue(0);
    Form->View.CursorTime = 0.5;
    Form->plPlay->trigger();
    Output->Truncate(0);
    Output->WaitForFrames(4410);
    std::vector<std::int16_t> samples = Output->Samples();
    Form->plStop->trigger();
    return samples;
  }
};

TEST_F(MusicOwnership, ASongWithoutMusicKeepsNothingOfThePreviousOne) {
  struct TCase {
    const char* Name;
    std::function<void()> Replace;
    const char* Status;
  };
  const TCase cases[] = {
      {"New Song", [this] { Form->CreateNewSong(Folder.Path(), "fresh", false); }, ""},
      {"music missing",
       [this] { Form->LoadSong(WriteSong("missing.txt", "#MP3:gone.mp3\r\n" + Notes)); },
       "Music not found: gone.mp3"},
      {"#AUDIO missing",
       [this] {
         Form->LoadSong(WriteSong("audio.txt", "#AUDIO:away.ogg\r\n#MP3:old.mp3\r\n" + Notes));
       },
       "Music not found: away.ogg"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    OpenSongWithMusic();
    ASSERT_NE(Form->SungPitch(), nullptr);
    ASSERT_FALSE(Analyser.SpectrumStrips.empty());
    c.Replace();
    Form->FinishPitchTracking();
    EXPECT_FALSE(Song.MusicLoaded);
    EXPECT_EQ(Music, nullptr);
    EXPECT_TRUE(Analyser.SpectrumStrips.empty());
    EXPECT_EQ(Form->SungPitch(), nullptr);
    EXPECT_FALSE(Form->SnapToSungPitch->isEnabled());
    if (*c.Status) {
      EXPECT_EQ(Form->StatusPanels[3]->text().toStdString(), c.Status);
    }
    if (!Song.Notes.empty()) {
      // Hovering the note suggests nothing and Ctrl+P changes nothing.
      viewinput::Move(*Form, viewinput::At(*Form, Song.Notes[0].Start + 1, Song.Notes[0].Pitch));
      EXPECT_FALSE(Form->StatusPanels[3]->text().startsWith("Sung pitch"));
      Form->SnapToSungPitch->trigger();
      EXPECT_EQ(Song.Notes[0].Pitch, 0);
    }
    const std::vector<std::int16_t> played = PlayedMusic();
    EXPECT_TRUE(std::all_of(played.begin(), played.end(), [](std::int16_t s) { return s == 0; }));
  }
}

TEST_F(MusicOwnership, ASongNamingNoMusicSaysNothingOfIt) {
  Start(QString::fromStdString(WriteSong("plain.txt", Notes)));
  EXPECT_FALSE(Form->StatusPanels[3]->text().contains("Music not found"));
}

// Choose Music during playback and before the first buffer: the old music goes
// once the player, the analysers and the pitch worker have let it go, and the
// new one plays.
TEST_F(MusicOwnership, ChooseMusicDuringPlaybackLetsTheOldMusicGo) {
  OpenSongWithMusic();
  const std::weak_ptr<const songData::TPcmMusic> old = Music;
  EXPECT_GT(PlayedMusic().size(), 0u);
  WriteMusic("other.mp3", 2.0);
  Form->Dialogs.ChooseMusicFile = [this](const QString&) {
    return QString::fromStdString(Folder.File("other.mp3"));
  };
  Form->View.CursorTime = 0;
  Form->plPlay->trigger();
  Output->Truncate(0); // the player thread mixes again from here on
  Form->ChooseMusic->trigger();
  EXPECT_TRUE(old.expired());
  ASSERT_NE(Music, nullptr);
  EXPECT_NEAR(songData::MusicDuration(Music), 2.0, 0.1);
  const std::vector<std::int16_t> played = PlayedMusic();
  EXPECT_GT(std::count_if(played.begin(), played.end(),
                          [](std::int16_t s) { return std::abs(s) > 1000; }),
            1000);
  Form->FinishPitchTracking();
  EXPECT_NE(Form->SungPitch(), nullptr);
}

} // namespace
