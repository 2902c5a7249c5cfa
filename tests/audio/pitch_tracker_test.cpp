#include "audio/pitch_suggestion.h"
#include "audio/pitch_worker.h"
#include "singing_fixture.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <random>

namespace {

using audiotest::TSungFixtureNote;

constexpr int Rate = 44100;
// One beat is 40 ms, so the notes land on beats within 20 ms.
constexpr double Bpm = 375.0;
constexpr double BeatSeconds = 0.04;

// A song over the melody whose notes are sung `wrong` semitones off the melody.
songData::TSong SongOf(const std::vector<TSungFixtureNote>& melody, int wrong) {
  songData::TSong song;
  song.BPM = Bpm;
  for (const TSungFixtureNote& sung : melody) {
    songData::TNote note;
    note.Kind = songData::nkNormal;
    note.Start = static_cast<std::int32_t>(std::lround(sung.Start / BeatSeconds));
    note.Length = static_cast<std::int32_t>(std::lround((sung.End - sung.Start) / BeatSeconds));
    note.Pitch = sung.Tone + wrong;
    song.Notes.push_back(note);
  }
  return song;
}

pitch::TPitchContour Track(const std::vector<float>& samples) {
  auto contour = pitch::TrackPitch(audiotest::MusicOfSamples(samples, Rate));
  EXPECT_TRUE(contour.has_value());
  return contour.value_or(pitch::TPitchContour{});
}

// The notes whose suggestion is the melody's tone; octave errors count as wrong.
int RightSuggestions(const pitch::TPitchContour& contour, const songData::TSong& song,
                     const std::vector<TSungFixtureNote>& melody) {
  int right = 0;
  for (std::size_t i = 0; i < melody.size(); ++i) {
    const pitch::TSungNote sung = pitch::SungNote(contour, song, song.Notes[i]);
    right += sung.Suggested == melody[i].Tone;
  }
  return right;
}

TEST(SungPitch, VocalsAloneGiveTheRightPitchForEveryNoteWhateverItsError) {
  const auto melody = audiotest::SungMelody(100, 1);
  const pitch::TPitchContour contour = Track(audiotest::SingMelody(melody, Rate, 2));
  ASSERT_GE(contour.Points.size(), std::size_t((melody.back().End) * 32));
  for (int wrong : {-5, -1, 2, 5})
    EXPECT_EQ(RightSuggestions(contour, SongOf(melody, wrong), melody), 100) << wrong;
  // The line follows the vibrato inside a note instead of its rounded pitch.
  const TSungFixtureNote& note = melody[10];
  double lowest = 99.0, highest = -99.0;
  for (auto b = std::size_t(note.Start * 32) + 4; b < std::size_t(note.End * 32) - 2; ++b) {
    ASSERT_TRUE(contour.Points[b].Confident()) << b;
    const double tone = pitch::ToneOfFrequency(contour.Points[b].Hz);
    lowest = std::min(lowest, tone);
    highest = std::max(highest, tone);
  }
  EXPECT_GT(highest - lowest, 0.25);
  EXPECT_LT(highest - lowest, 0.8);
  EXPECT_NEAR((highest + lowest) / 2, note.Tone, 0.2);
}

TEST(SungPitch, AQuieterAccompanimentOfChordsStillGivesNearlyEveryNote) {
  const auto melody = audiotest::SungMelody(100, 3);
  std::vector<float> samples = audiotest::SingMelody(melody, Rate, 4);
  audiotest::AddChords(samples, Rate, audiotest::LevelDb(samples) - 10.0, 5);
  const pitch::TPitchContour contour = Track(samples);
  EXPECT_GE(RightSuggestions(contour, SongOf(melody, 3), melody), 95);
}

TEST(SungPitch, SilenceAndNoiseSuggestNothing) {
  const auto melody = audiotest::SungMelody(30, 6);
  const songData::TSong song = SongOf(melody, 0);
  std::mt19937 random(7);
  std::normal_distribution<float> gauss(0.0f, 1.0f);
  for (float level : {0.0f, 0.02f, 0.3f}) {
    std::vector<float> samples(std::size_t((melody.back().End + 1) * Rate));
    for (float& v : samples)
      v = level * gauss(random);
    const pitch::TPitchContour contour = Track(samples);
    for (const songData::TNote& note : song.Notes)
      EXPECT_FALSE(pitch::SungNote(contour, song, note).Suggested) << level;
  }
}

// The author's octave and the song's transpose stay; what is not sung stays too.
TEST(SungPitch, SuggestionsKeepTheAuthorsOctaveAndTheTranspose) {
  const auto melody = audiotest::SungMelody(4, 8);
  const pitch::TPitchContour contour = Track(audiotest::SingMelody(melody, Rate, 9));
  struct TCase {
    std::int32_t Wrong, Transpose, Expected;
  } cases[] = {{13, 0, 12}, {-11, 0, -12}, {-25, 0, -24}, {1, 2, -2}, {0, -12, 0}};
  for (const TCase& c : cases) {
    songData::TSong song = SongOf(melody, c.Wrong);
    song.Transpose = c.Transpose;
    const pitch::TSungNote sung = pitch::SungNote(contour, song, song.Notes[0]);
    EXPECT_EQ(sung.Suggested, melody[0].Tone + c.Expected) << c.Wrong << " " << c.Transpose;
    EXPECT_GT(sung.Confidence, 0.8f);
  }
  songData::TSong song = SongOf(melody, 0);
  song.Notes[1].Start = static_cast<std::int32_t>((melody.back().End + 0.2) / BeatSeconds);
  song.Notes[1].Length = 10;
  EXPECT_FALSE(pitch::SungNote(contour, song, song.Notes[1]).Suggested); // after the singing
}

TEST(SungPitch, SnapSetsTheSelectedNotesElseTheHoveredOne) {
  const auto melody = audiotest::SungMelody(4, 10);
  const pitch::TPitchContour contour = Track(audiotest::SingMelody(melody, Rate, 11));
  songData::TSong song = SongOf(melody, 4);
  EXPECT_EQ(pitch::SnapToSungPitch(song, contour, 2), 1);
  EXPECT_EQ(song.Notes[2].Pitch, melody[2].Tone);
  EXPECT_EQ(song.Notes[1].Pitch, melody[1].Tone + 4);
  song.Notes[0].Selected = song.Notes[3].Selected = true;
  EXPECT_EQ(pitch::SnapToSungPitch(song, contour, 1), 2);
  EXPECT_EQ(song.Notes[0].Pitch, melody[0].Tone);
  EXPECT_EQ(song.Notes[1].Pitch, melody[1].Tone + 4);
  EXPECT_EQ(song.Notes[3].Pitch, melody[3].Tone);
  EXPECT_EQ(pitch::SnapToSungPitch(song, contour, -1), 0); // nothing left to change
}

std::vector<std::int32_t> PitchProgress;
void RecordPitchProgress(std::string_view name, std::int32_t value) {
  if (name == pitch::PitchEvent) PitchProgress.push_back(value);
}

TEST(PitchWorker, TracksInTheBackgroundAndReportsProgress) {
  const auto melody = audiotest::SungMelody(20, 12);
  const auto music = std::make_shared<const songData::TPcmMusic>(
      audiotest::MusicOfSamples(audiotest::SingMelody(melody, Rate, 13), Rate));
  EventMan::TEventManager events;
  PitchProgress.clear();
  EventMan::RegisterHandler(events, "MAIN", RecordPitchProgress, EventMan::hmQueued);
  pitch::TPitchWorker worker;
  pitch::StartPitchWorker(worker, music, events);
  pitch::WaitForPitchWorker(worker);
  for (int i = 0; i < 10; ++i)
    EventMan::ProcessThreadEvents(events);
  const auto contour = pitch::PitchContour(worker);
  ASSERT_TRUE(contour);
  EXPECT_EQ(RightSuggestions(*contour, SongOf(melody, 1), melody), 20);
  ASSERT_FALSE(PitchProgress.empty());
  EXPECT_EQ(PitchProgress.back(), 100);
  EXPECT_TRUE(std::is_sorted(PitchProgress.begin(), PitchProgress.end()));
  // Started again and stopped at once: no contour, and no thread left behind.
  pitch::StartPitchWorker(worker, music, events);
  pitch::StopPitchWorker(worker);
  EXPECT_FALSE(worker.Thread.joinable());
}

TEST(SungPitch, TrackingStopsWhenAsked) {
  const auto melody = audiotest::SungMelody(10, 14);
  const auto music = audiotest::MusicOfSamples(audiotest::SingMelody(melody, Rate, 15), Rate);
  int calls = 0;
  EXPECT_FALSE(pitch::TrackPitch(music, [&](float) { return ++calls < 3; }));
  EXPECT_EQ(calls, 3);
  EXPECT_TRUE(pitch::TrackPitch(songData::TPcmMusic{})->Points.empty());
}

} // namespace
