#include "common/note_builder.h"
#include "song/song_baseline.h"
#include "song/song_reader.h"
#include "song/undo_history.h"

#include <functional>
#include <gtest/gtest.h>

using namespace songData;

namespace {

TSong SmallSong() {
  TSong song;
  song.Notes = {MakeNote(nkNormal, 0, 4, 12, "la"), MakeNote(nkLineBreak, 6)};
  song.Tags = {"#TITLE:x"};
  song.BPM = 123.45;
  song.MusicOffset = -1.234;
  return song;
}

TEST(SongBaseline, EverySavedPartCountsAndTheSelectionDoesNot) {
  struct TCase {
    const char* Name;
    std::function<void(TSong&)> Edit;
    bool Differs;
  };
  const TCase cases[] = {
      {"nothing", [](TSong&) {}, false},
      {"selection", [](TSong& s) { s.Notes[0].Selected = true; }, false},
      {"transpose", [](TSong& s) { s.Transpose = -12; }, false},
      {"text", [](TSong& s) { s.Notes[0].Text = "lo"; }, true},
      {"pitch", [](TSong& s) { s.Notes[0].Pitch += 1; }, true},
      {"kind", [](TSong& s) { s.Notes[0].Kind = nkGolden; }, true},
      {"voice", [](TSong& s) { s.Notes[0].Voice = SecondVoice; }, true},
      {"added note", [](TSong& s) { s.Notes.push_back(MakeNote(nkNormal, 8, 1)); }, true},
      {"tempo", [](TSong& s) { s.BPM = 200; }, true},
      {"gap", [](TSong& s) { s.MusicOffset = -1; }, true},
      {"video gap", [](TSong& s) { s.VideoGap = 2; }, true},
      {"tag", [](TSong& s) { s.Tags.push_back("#MP3:a.mp3"); }, true},
      {"byte order mark", [](TSong& s) { s.UseBOM = true; }, true},
      // The file writes these the same.
      {"tempo in single precision", [](TSong& s) { s.BPM = static_cast<float>(s.BPM); }, false},
      {"gap in single precision",
       [](TSong& s) { s.MusicOffset = static_cast<float>(s.MusicOffset); }, false},
      {"order in memory", [](TSong& s) { std::swap(s.Notes[0], s.Notes[1]); }, false},
  };
  for (const TCase& c : cases) {
    TSong song = SmallSong();
    TSongBaseline baseline;
    baseline.Capture(song);
    c.Edit(song);
    EXPECT_EQ(baseline.Differs(song), c.Differs) << c.Name;
  }
}

TEST(SongBaseline, AnEditUndoneByHandIsNoChange) {
  TSong song = SmallSong();
  TSongBaseline baseline;
  baseline.Capture(song);
  song.Notes[0].Pitch = 3;
  EXPECT_TRUE(baseline.Differs(song));
  EXPECT_TRUE(baseline.Differs(song));
  song.Notes[0].Pitch = 12;
  EXPECT_FALSE(baseline.Differs(song));
  song.Notes[0].Pitch = 3;
  baseline.Capture(song); // saved
  EXPECT_FALSE(baseline.Differs(song));
}

// The history keeps the timing in single precision; 123,45 and a gap of 1234 ms
// are not exact there, but the file writes them the same.
TEST(SongBaseline, UndoBackToTheLoadedStateIsNoChange) {
  TSong song = SmallSong();
  song.Tags = {"#TITLE:x", "#BPM:123,45", "#GAP:1234"};
  const THeaderNumbers numbers = ReadHeaderNumbers(song.Tags);
  song.BPM = numbers.BPM;
  song.MusicOffset = numbers.MusicOffset;
  song.VideoGap = numbers.VideoGap;
  TUndoHistory history;
  PushUndo(history, song, true);
  TSongBaseline baseline;
  baseline.Capture(song);
  for (TNote& note : song.Notes)
    note.Pitch += 12;
  PushUndo(history, song, false);
  EXPECT_TRUE(baseline.Differs(song));
  Undo(history, song);
  EXPECT_FALSE(baseline.Differs(song));
}

} // namespace
