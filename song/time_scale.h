#pragma once
// Beats, song time and music time, and the view scale and timeline derived from them.
#include "song/song_model.h"

#include <cstdint>

namespace songData {

// One beat lasts 60 / (BPM * 4) seconds: the grid is four times finer than the tempo.
double SongTimeOfBeat(double bpm, double beat);
// Position in the music file of a song time.
double MusicTimeOf(double musicOffset, double songTime);
// The file's "#GAP" of a MusicOffset, rounded half to even.
double GapMillisecondsOf(double musicOffset);

struct TBeatScale {
  std::int32_t PixelsPerBeat;
  double PixelsPerSecond;
};

TBeatScale BeatScaleOf(double bpm);

// The horizontal scroll range, in tenths of a second of song time.
struct TTimeline {
  double Start;  // seconds
  double Length; // seconds
  std::int32_t ScrollMin;
  std::int32_t ScrollMax;
};

TTimeline TimelineOf(const TSong& song, double musicDuration);

} // namespace songData
