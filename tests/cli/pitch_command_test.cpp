#include "audio/audio_fixtures.h"
#include "audio/singing_fixture.h"
#include "cli/cli_runner.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <gtest/gtest.h>
#include <sstream>

namespace {

constexpr std::uint32_t LineColour = 0xFF40FF;

// Six sung notes whose song says two semitones more; the vocals alone, and the
// music with chords under them, as MP3s. One beat is 40 ms.
class PitchCommand : public testing::Test {
protected:
  void SetUp() override {
    melody = audiotest::SungMelody(6, 31);
    std::vector<float> vocals = audiotest::SingMelody(melody, 44100, 32);
    WriteMp3("vocals.mp3", vocals);
    audiotest::AddChords(vocals, 44100, audiotest::LevelDb(vocals) - 10.0, 33);
    WriteMp3("music.mp3", vocals);
  }
  void WriteMp3(const std::string& name, const std::vector<float>& samples) {
    audiotest::EncodeMp3(folder.File(name), audiotest::MusicOfSamples(samples, 44100).Samples,
                         44100, 1);
  }
  std::string WriteSong(const std::string& tags, const std::string& name = "song.txt") {
    std::ostringstream text;
    text << tags << "#BPM:375\r\n#GAP:0\r\n";
    for (const auto& note : melody)
      text << ": " << std::lround(note.Start / 0.04) << " "
           << std::lround((note.End - note.Start) / 0.04) << " " << note.Tone + 2 << " la\r\n";
    text << "E\r\n";
    return folder.Write(name, text.str());
  }
  QJsonObject Json(const TCliResult& run) const {
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    return QJsonDocument::fromJson(QByteArray::fromStdString(run.Out)).object();
  }

  TTempFolder folder;
  std::vector<audiotest::TSungFixtureNote> melody;
};

TEST_F(PitchCommand, ReportsEachNotesSuggestionFromTheVocalsNamedOrGiven) {
  const std::string song = WriteSong("#MP3:music.mp3\r\n#VOCALS:vocals.mp3\r\n");
  for (const auto& args :
       {std::vector<std::string>{"pitch", song},
        std::vector<std::string>{"pitch", WriteSong("#MP3:music.mp3\r\n", "plain.txt"), "--vocals",
                                 folder.File("vocals.mp3")}}) {
    const QJsonObject result = Json(RunCli(args));
    EXPECT_EQ(result["tracked"].toString(), "vocals");
    const QJsonArray notes = result["notes"].toArray();
    ASSERT_EQ(notes.size(), 6);
    for (int i = 0; i < 6; ++i) {
      const QJsonObject note = notes[i].toObject();
      EXPECT_EQ(note["pitch"].toInt(), melody[i].Tone + 2);
      EXPECT_EQ(note["suggested"].toInt(-99), melody[i].Tone) << i;
      EXPECT_GT(note["confidence"].toDouble(), 0.8);
      EXPECT_EQ(note["start"].toInt(), std::lround(melody[i].Start / 0.04));
      EXPECT_FALSE(result.contains("contour"));
    }
  }
}

TEST_F(PitchCommand, TheContourGivesEveryBlockInSongTime) {
  const QJsonObject result =
      Json(RunCli({"pitch", WriteSong("#MP3:music.mp3\r\n#GAP:500\r\n"), "--contour"}));
  EXPECT_EQ(result["tracked"].toString(), "music");
  const QJsonArray contour = result["contour"].toArray();
  ASSERT_GT(contour.size(), 32 * 4);
  // The gap moves music time 0 to song time -0.5; the first second is silent.
  EXPECT_NEAR(contour[0].toObject()["t"].toDouble(), -0.5 + 0.5 / 32, 0.001);
  EXPECT_TRUE(contour[10].toObject()["hz"].isNull());
  const double sung = 261.6255653 * std::pow(2.0, melody[0].Tone / 12.0);
  const QJsonObject middle = contour[int((melody[0].Start + melody[0].End) / 2 * 32)].toObject();
  EXPECT_NEAR(middle["hz"].toDouble(), sung, sung * 0.03);
  EXPECT_GT(middle["confidence"].toDouble(), 0.5);
}

TEST_F(PitchCommand, RefusesWhatItCannotTrack) {
  EXPECT_EQ(RunCli({"pitch"}).ExitCode, 2);
  EXPECT_EQ(RunCli({"pitch", "a.txt", "--vocals"}).ExitCode, 2);
  const TCliResult silent = RunCli({"pitch", WriteSong("")});
  EXPECT_EQ(silent.ExitCode, 1);
  EXPECT_NE(silent.Err.find("no music or vocals"), std::string::npos) << silent.Err;
  folder.Write("broken.wav", "RIFF");
  const TCliResult broken =
      RunCli({"pitch", WriteSong("#MP3:music.mp3\r\n"), "--vocals", folder.File("broken.wav")});
  EXPECT_EQ(broken.ExitCode, 1);
  EXPECT_NE(broken.Err.find("Can't decode music: "), std::string::npos) << broken.Err;
}

TEST_F(PitchCommand, RenderDrawsTheSungLineOnRequest) {
  const std::string song = WriteSong("#MP3:music.mp3\r\n#VOCALS:vocals.mp3\r\n");
  const std::string out = folder.File("out.png");
  for (bool line : {false, true}) {
    std::vector<std::string> args = {"render", song, out, "--at", "0"};
    if (line) args.push_back("--sung-pitch");
    ASSERT_EQ(RunCli(args).ExitCode, 0);
    const QImage image(QString::fromStdString(out));
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        drawn += (image.pixel(x, y) & 0xFFFFFF) == LineColour;
    EXPECT_EQ(drawn > 100, line) << drawn;
  }
}

} // namespace
