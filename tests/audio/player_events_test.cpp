#include "audio/capture_output.h"
#include "audio/player.h"
#include "audio_fixtures.h"

#include <gtest/gtest.h>

namespace {

using namespace player;
using songData::TNote;

TNote Note(std::int32_t start, std::int32_t length, std::int32_t pitch,
           songData::TNoteKind kind = songData::nkNormal) {
  TNote note;
  note.Start = start;
  note.Length = length;
  note.Pitch = pitch;
  note.Kind = kind;
  return note;
}

// BPM 15 makes one beat last one second, so beat b starts at music frame
// 44100 b (with no offset) and an event is taken 100 frames before that.
struct TEventMix {
  explicit TEventMix(std::vector<TNote> notes, double offset = 0.0, std::int32_t transpose = 0,
                     float startSeconds = 0.0f) {
    p.ToneSample = {0};
    p.ToneLength = 1 << 16;
    p.ToneMix = 4096;
    p.BufferFrames = 1; // one frame per buffer: the state after each frame is visible
    capture.Open(1);
    song.Notes = std::move(notes);
    song.BPM = 15.0;
    song.MusicOffset = offset;
    song.Transpose = transpose;
    PublishPlayerSong(p, song);
    music.SampleRate = 44100;
    music.Samples.assign(44100 * 8, 0);
    PlayMusic(p, audiotest::Shared(music), startSeconds);
  }
  // The tone after each frame up to frame last.
  std::vector<std::int32_t> Tones(int last) {
    std::vector<std::int32_t> tones;
    for (int f = 0; f <= last; ++f) {
      FillBuffer(p, capture);
      tones.push_back(p.CurrentTone);
    }
    return tones;
  }
  TPlayer p;
  TCaptureOutput capture;
  songData::TSong song;
  songData::TPcmMusic music;
};

// The first frame at which the tone is `tone`, or -1.
int FirstFrameWith(const std::vector<std::int32_t>& tones, std::int32_t tone, int from = 0) {
  for (int f = from; f < int(tones.size()); ++f)
    if (tones[f] == tone) return f;
  return -1;
}

TEST(PlayerEvents, StartAndEarlyEndAreTakenAHundredFramesAhead) {
  TEventMix mix({Note(1, 2, 7), Note(2, 1, 0, songData::nkLineBreak)}, 0.0, -12);
  std::vector<std::int32_t> tones = mix.Tones(3 * 44100);
  // The position passes frame 44000 once frame 44001 is mixed.
  EXPECT_EQ(FirstFrameWith(tones, -5), 44001);
  // The end is 0.4 beat early: beat 2.6 is frame 114660.
  EXPECT_EQ(FirstFrameWith(tones, NoTone, 44001), 114561);
  EXPECT_EQ(mix.p.ToneVolumeTarget, 0u);
}

TEST(PlayerEvents, PlaybackFromInsideANoteSoundsItUntilItsEnd) {
  struct TCase {
    float Start;
    int FirstToneFrame; // -1: the note does not sound from the first frame
    int EndFrame;
  };
  // The note spans beats 1 to 3 (seconds 1 to 3); its end event is at 2.6 s.
  for (TCase c : {TCase{1.0f, 0, 114561 - 44100}, TCase{2.0f, 0, 114561 - 88200},
                  TCase{0.5f, -1, -1}, TCase{2.8f, -1, -1}}) {
    TEventMix mix({Note(1, 2, 7)}, 0.0, 0, c.Start);
    std::vector<std::int32_t> tones = mix.Tones(75000);
    EXPECT_EQ(tones.front() == 7 ? 0 : -1, c.FirstToneFrame) << "from " << c.Start;
    if (c.EndFrame >= 0) {
      EXPECT_EQ(FirstFrameWith(tones, NoTone), c.EndFrame) << "from " << c.Start;
    }
  }
}

TEST(PlayerEvents, OffsetShiftsTheEventsAndTheEarlierNoteWins) {
  // With the music starting half a second into the song, beat 1 is music 0.5 s.
  TEventMix mix({Note(3, 1, 4), Note(1, 1, 2), Note(1, 1, 9)}, 0.5);
  std::vector<std::int32_t> tones = mix.Tones(2 * 44100);
  EXPECT_EQ(FirstFrameWith(tones, 2), 22050 - 99);
  EXPECT_EQ(FirstFrameWith(tones, 9), -1);
  EXPECT_EQ(FirstFrameWith(tones, NoTone, 22050), 22050 + 26460 - 99);
}

TEST(PlayerEvents, ZeroLengthNoteEndsBeforeItStarts) {
  TEventMix mix({Note(2, 0, 5)});
  std::vector<std::int32_t> tones = mix.Tones(int(2.1 * 44100));
  // The end (beat 1.6) comes first and changes nothing; the start follows.
  EXPECT_EQ(FirstFrameWith(tones, 5), 88200 - 99);
  EXPECT_EQ(mix.p.PendingTone, 5);
}

TEST(PlayerEvents, StoppingInsideAnEventsLeadKeepsTheToneOff) {
  TEventMix mix({Note(1, 2, 7)});
  // Frame 44050 lies in the 100 frames before the note, where its start is
  // taken on every frame until the position reaches it.
  std::vector<std::int32_t> tones = mix.Tones(44050);
  EXPECT_EQ(tones.back(), 7);
  StopMusic(mix.p);
  StopTone(mix.p);
  tones = mix.Tones(500);
  EXPECT_EQ(FirstFrameWith(tones, 7), -1);
  EXPECT_EQ(mix.p.ToneVolumeTarget, 0u);
}

TEST(PlayerEvents, TempoWithoutTimeGivesNoEvents) {
  TEventMix mix({Note(1, 2, 7)});
  mix.song.BPM = 0.0; // every note would lie at an infinite time
  PublishPlayerSong(mix.p, mix.song);
  FindNextNoteEvent(mix.p);
  std::vector<std::int32_t> tones = mix.Tones(2 * 44100);
  EXPECT_EQ(FirstFrameWith(tones, 7), -1);
}

TEST(PlayerEvents, RapSoundsAndOnlyThePublishedVoicePlays) {
  TNote second = Note(1, 1, 3, songData::nkRap);
  second.Voice = songData::SecondVoice;
  struct TCase {
    std::uint8_t Voice;
    int ToneThree, ToneSeven;
  };
  for (TCase c : {TCase{1, -1, 88101}, TCase{2, 44001, -1}}) {
    TEventMix mix({second, Note(2, 1, 7, songData::nkRapGolden)});
    PublishPlayerSong(mix.p, mix.song, c.Voice);
    FindNextNoteEvent(mix.p);
    std::vector<std::int32_t> tones = mix.Tones(3 * 44100);
    EXPECT_EQ(FirstFrameWith(tones, 3), c.ToneThree) << int(c.Voice);
    EXPECT_EQ(FirstFrameWith(tones, 7), c.ToneSeven) << int(c.Voice);
  }
}

TEST(PlayerEvents, EachSearchReadsTheSnapshotPublishedLast) {
  TEventMix mix({Note(1, 2, 7)});
  mix.song.Notes = {Note(1, 2, 7), Note(2, 2, 3)};
  PublishPlayerSong(mix.p, mix.song);
  // Edits that are not published are never seen.
  mix.song.Notes.clear();
  std::vector<std::int32_t> tones = mix.Tones(3 * 44100);
  EXPECT_EQ(FirstFrameWith(tones, 7), 44001);
  EXPECT_EQ(FirstFrameWith(tones, 3), 88101);
}

} // namespace
