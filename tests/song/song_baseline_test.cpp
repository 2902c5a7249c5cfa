#include "common/note_builder.h"
#include "song/song_baseline.h"

#include <functional>
#include <gtest/gtest.h>

using namespace songData;

namespace {

TSong SmallSong() {
  TSong song;
  song.Notes = {MakeNote(nkNormal, 0, 4, 12, "la"), MakeNote(nkLineBreak, 6)};
  song.Tags = {"#TITLE:x"};
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
  song.Notes[0].Pitch = 12;
  EXPECT_FALSE(baseline.Differs(song));
}

} // namespace
