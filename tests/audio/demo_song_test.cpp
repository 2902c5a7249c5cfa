// The demo song that ships beside the program, and its music.
#include "audio/mp3_loader.h"
#include "song/song_loader.h"
#include "song/song_reader.h"
#include "song/song_writer.h"
#include "song/time_scale.h"
#include "support/file_io.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace {

using namespace songData;

const std::string DemoFolder = CHORVANTA_EXAMPLES "/demo";

// Power of one frequency in a Hann-windowed stretch of the music around a time
// (Goertzel); 0 when the stretch is not inside the music.
double PowerAt(const TPcmMusic& music, double seconds, double frequency) {
  using std::numbers::pi;
  const int length = 4096;
  const int channels = Channels(music);
  const double first = std::floor(seconds * music.SampleRate) - length / 2;
  if (first < 0 || first + length > double(Frames(music))) return 0;
  const double w = 2.0 * pi * frequency / music.SampleRate;
  double s1 = 0, s2 = 0;
  for (int n = 0; n < length; ++n) {
    double x = 0;
    for (int c = 0; c < channels; ++c)
      x += music.Samples[(std::size_t(first) + n) * channels + c];
    x *= 0.5 - 0.5 * std::cos(2.0 * pi * n / length);
    double s = x + 2.0 * std::cos(w) * s1 - s2;
    s2 = s1;
    s1 = s;
  }
  return s1 * s1 + s2 * s2 - 2.0 * std::cos(w) * s1 * s2;
}

class DemoSong : public testing::Test {
protected:
  static void SetUpTestSuite() {
    Bytes = MyServis::ReadFileBytes(DemoFolder + "/demo.txt");
    TSongFileContent content = ParseSongText(Bytes);
    THeaderNumbers numbers = ReadHeaderNumbers(content.Tags);
    Song.Notes = content.Notes;
    Song.Tags = content.Tags;
    Song.UseBOM = content.UseBOM;
    Song.BPM = numbers.BPM;
    Song.MusicOffset = numbers.MusicOffset;
    Song.VideoGap = numbers.VideoGap;
    Song.Transpose = GuessTranspose(Song.Notes);
    Song.SongDir = DemoFolder;
    Song.SongFileName = "demo.txt";
    MusicPath = FindMusicFile(Song);
    if (!MusicPath.empty()) MP3Loader::DecodeMp3(MusicPath, {}, Music);
  }

  static double SongSeconds(double beat) { return SongTimeOfBeat(Song.BPM, beat); }
  static double EndSeconds() {
    std::int32_t end = 0;
    for (const TNote& note : Song.Notes)
      end = std::max(end, note.Start + note.Length);
    return SongSeconds(end);
  }

  static inline std::string Bytes;
  static inline TSong Song;
  static inline std::string MusicPath;
  static inline TPcmMusic Music;
};

TEST_F(DemoSong, IsWrittenAsTheEditorSavesIt) {
  EXPECT_EQ(SongFileText(Song), Bytes);
}

TEST_F(DemoSong, HasLinesGoldenAndFreestyleNotesOverTwentySeconds) {
  auto count = [&](TNoteKind kind) {
    return std::count_if(Song.Notes.begin(), Song.Notes.end(),
                         [&](const TNote& n) { return n.Kind == kind; });
  };
  EXPECT_GE(count(nkLineBreak), 3);
  EXPECT_GT(count(nkNormal), 0);
  EXPECT_GT(count(nkGolden), 0);
  EXPECT_GT(count(nkFreestyle), 0);
  EXPECT_GE(EndSeconds(), 20.0);
}

TEST_F(DemoSong, MusicOutlastsTheLastNote) {
  ASSERT_EQ(MusicPath, DemoFolder + "/demo.mp3");
  EXPECT_EQ(Music.SampleRate, 44100);
  EXPECT_TRUE(Music.Stereo);
  EXPECT_GE(MusicDuration(Music), MusicTimeOf(Song.MusicOffset, EndSeconds()));
}

// In the middle of every note long enough to measure, the music sounds the
// note's tone (tone 0 is C4) far louder than the semitones beside it: the
// tempo, the gap, the pitches and the transpose guess all agree with the music.
TEST_F(DemoSong, MusicSingsEveryNoteAtItsPitch) {
  ASSERT_FALSE(Music.Samples.empty());
  for (const TNote& note : Song.Notes) {
    if (note.IsLineBreak() || note.Length < 3) continue;
    double middle = MusicTimeOf(Song.MusicOffset, SongSeconds(note.Start + note.Length / 2.0));
    int tone = note.Pitch + Song.Transpose;
    auto power = [&](int t) { return PowerAt(Music, middle, 261.63 * std::exp2(t / 12.0)); };
    EXPECT_GT(power(tone), 10.0 * std::max(power(tone - 1), power(tone + 1)))
        << "note at beat " << note.Start << ", \"" << note.Text.Str() << "\"";
  }
}

} // namespace
