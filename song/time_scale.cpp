#include "song/time_scale.h"

#include <algorithm>
#include <cmath>

namespace songData {
namespace {

// Rounded half to even, and kept inside the 32-bit range for absurd tempos.
std::int32_t RoundToInt32(double value) {
  if (std::isnan(value)) return 0;
  return static_cast<std::int32_t>(std::clamp(std::nearbyint(value), -2147483648.0, 2147483647.0));
}

} // namespace

double SongTimeOfBeat(double bpm, double beat) {
  return beat * 60 / (bpm * 4);
}

double MusicTimeOf(double musicOffset, double songTime) {
  return songTime - musicOffset;
}

double GapMillisecondsOf(double musicOffset) {
  return std::nearbyint(-musicOffset * 1000);
}

TBeatScale BeatScaleOf(double bpm) {
  TBeatScale scale;
  scale.PixelsPerBeat = RoundToInt32(1080 / bpm + 6);
  scale.PixelsPerSecond = scale.PixelsPerBeat * bpm * 4 / 60;
  return scale;
}

TTimeline TimelineOf(const TSong& song, double musicDuration) {
  TTimeline timeline;
  timeline.Start = song.MusicOffset >= 0 ? -2.0 : song.MusicOffset - 1.0;
  timeline.Length = song.MusicLoaded ? musicDuration + 10 : 100.0;
  timeline.ScrollMin = RoundToInt32((timeline.Start - 1.5) * 10);
  timeline.ScrollMax = RoundToInt32((timeline.Start + timeline.Length + 5) * 10);
  return timeline;
}

} // namespace songData
