#include "audio/singing_fixture.h"
#include "audio/wav_file.h"
#include "editor/pitch_line.h"
#include "main_window_fixture.h"
#include "song/song_tags.h"
#include "view_input.h"

#include <QAction>
#include <QLabel>
#include <cmath>
#include <sstream>

namespace {

// One beat is 40 ms at this tempo.
constexpr double BeatSeconds = 0.04;

// A song sung three semitones above what its notes say, with the vocals alone
// and mixed with chords as its music.
class SungPitch : public MainWindow {
protected:
  void SetUp() override {
    melody = audiotest::SungMelody(6, 21);
    std::vector<float> vocals = audiotest::SingMelody(melody, 44100, 22);
    WriteWav("vocals.wav", vocals);
    audiotest::AddChords(vocals, 44100, audiotest::LevelDb(vocals) - 10.0, 23);
    WriteWav("music.wav", vocals);
    WriteWav("broken.wav", {});
  }
  void WriteWav(const std::string& name, const std::vector<float>& samples) {
    Folder.Write(name,
                 player::WavBytes(audiotest::MusicOfSamples(samples, 44100).Samples, 44100, 1));
  }
  std::string SongText(const std::string& extraTags) const {
    std::ostringstream text;
    text << "#MP3:music.wav\r\n" << extraTags << "#BPM:375\r\n#GAP:0\r\n";
    for (const auto& note : melody)
      text << ": " << std::lround(note.Start / BeatSeconds) << " "
           << std::lround((note.End - note.Start) / BeatSeconds) << " " << note.Tone - 3
           << " la\r\n";
    text << "E\r\n";
    return text.str();
  }
  void Open(const std::string& extraTags) {
    Start(QString::fromStdString(WriteSong("song.txt", SongText(extraTags))));
    Form->FinishPitchTracking();
  }
  std::vector<std::int32_t> Pitches() const {
    std::vector<std::int32_t> pitches;
    for (const auto& note : Song.Notes)
      pitches.push_back(note.Pitch);
    return pitches;
  }
  std::vector<std::int32_t> Melody(int offset) const {
    std::vector<std::int32_t> tones;
    for (const auto& note : melody)
      tones.push_back(note.Tone + offset);
    return tones;
  }
  bool LineDrawn() const {
    const QImage& image = Form->MainImg->Image;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if ((image.pixel(x, y) & 0xFFFFFF) == editor::PitchLineColour) return true;
    return false;
  }

  std::vector<audiotest::TSungFixtureNote> melody;
};

TEST_F(SungPitch, VocalsNamedInTheSongShowTheLineAndSnapFixesItInOneStep) {
  Open("#VOCALS:vocals.wav\r\n");
  ASSERT_NE(Form->SungPitch(), nullptr);
  EXPECT_TRUE(Form->ShowSungPitch->isEnabled());
  EXPECT_TRUE(Form->ShowSungPitch->isChecked());
  EXPECT_TRUE(LineDrawn());
  // Hovering a note tells its sung pitch; Ctrl+P takes it for that note alone.
  viewinput::Move(*Form, viewinput::At(*Form, Song.Notes[0].Start + 1, Song.Notes[0].Pitch));
  const QString status = Form->StatusPanels[3]->text();
  EXPECT_TRUE(status.startsWith("Sung pitch: ")) << status.toStdString();
  EXPECT_TRUE(status.contains(QString("suggested %1").arg(melody[0].Tone))) << status.toStdString();
  EXPECT_EQ(Form->SnapToSungPitch->shortcut(), QKeySequence("Ctrl+P"));
  Form->SnapToSungPitch->trigger();
  EXPECT_EQ(Song.Notes[0].Pitch, melody[0].Tone);
  EXPECT_EQ(Song.Notes[1].Pitch, melody[1].Tone - 3);
  // What the status says of the hovered note follows the edit, without a move.
  EXPECT_FALSE(Form->StatusPanels[3]->text().contains("suggested"))
      << Form->StatusPanels[3]->text().toStdString();
  // Every selected note at once, undone in one step.
  Form->SelectAll1Click();
  Form->SnapToSungPitchExecute();
  EXPECT_EQ(Pitches(), Melody(0));
  Form->UndoActionExecute();
  std::vector<std::int32_t> once = Melody(-3);
  once[0] = melody[0].Tone;
  EXPECT_EQ(Pitches(), once);
}

// A note dragged to the sung pitch no longer shows it as a suggestion, without
// another move of the mouse.
TEST_F(SungPitch, TheSuggestionFollowsADrag) {
  Open("#VOCALS:vocals.wav\r\n");
  const songData::TNote first = Song.Notes[0];
  const double middle = first.Start + first.Length / 2.0;
  const QPoint on = viewinput::At(*Form, middle, first.Pitch);
  viewinput::Move(*Form, on);
  ASSERT_TRUE(Form->StatusPanels[3]->text().contains("suggested"));
  viewinput::Press(*Form, on);
  viewinput::Move(*Form, viewinput::At(*Form, middle, melody[0].Tone), Qt::LeftButton);
  viewinput::Release(*Form, viewinput::At(*Form, middle, melody[0].Tone));
  ASSERT_EQ(Song.Notes[0].Pitch, melody[0].Tone);
  const QString status = Form->StatusPanels[3]->text();
  EXPECT_TRUE(status.startsWith("Sung pitch: ")) << status.toStdString();
  EXPECT_FALSE(status.contains("suggested")) << status.toStdString();
}

TEST_F(SungPitch, WithoutVocalsTheMusicIsTracked) {
  Open("");
  ASSERT_NE(Form->SungPitch(), nullptr);
  Form->SelectAll1Click();
  Form->SnapToSungPitchExecute();
  EXPECT_EQ(Pitches(), Melody(0));
}

TEST_F(SungPitch, ChooseVocalsNamesTheRecordingAndABrokenOneChangesNothing) {
  Open("");
  QString choice = QString::fromStdString(Folder.File("broken.wav"));
  Form->Dialogs.ChooseVocalsFile = [&](const QString&) { return choice; };
  Form->ChooseVocals->trigger();
  ASSERT_EQ(ErrorTexts.size(), 1u);
  EXPECT_NE(ErrorTexts[0].find("Can't decode music: "), std::string::npos) << ErrorTexts[0];
  EXPECT_EQ(songData::TagValue(Song.Tags, "#VOCALS"), "");
  EXPECT_NE(Form->SungPitch(), nullptr); // the music's contour stays
  choice = QString::fromStdString(Folder.File("vocals.wav"));
  Form->ChooseVocals->trigger();
  EXPECT_EQ(songData::TagValue(Song.Tags, "#VOCALS"), "vocals.wav");
  EXPECT_TRUE(Form->IsModified());
  Form->FinishPitchTracking();
  EXPECT_NE(Form->SungPitch(), nullptr);
}

TEST_F(SungPitch, TheLineCanBeHiddenAndTheChoiceIsRemembered) {
  Open("#VOCALS:vocals.wav\r\n");
  Form->ShowSungPitch->trigger();
  EXPECT_FALSE(Form->ShowSungPitch->isChecked());
  EXPECT_FALSE(LineDrawn());
  EXPECT_NE(Folder.Read("settings.ctl").find("ShowSungPitch"), std::string::npos);
  // Another song's contour comes hidden as well.
  Form->LoadSong(WriteSong("other.txt", SongText("")));
  Form->FinishPitchTracking();
  EXPECT_FALSE(Form->ShowSungPitch->isChecked());
  EXPECT_FALSE(LineDrawn());
}

} // namespace
