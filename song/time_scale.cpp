#include "song/time_scale.h"

#include <cmath>

namespace songData {

double SongTimeOfBeat(double bpm, double beat) {
  return beat * 60 / (bpm * 4);
}

double MusicTimeOf(double musicOffset, double songTime) {
  return songTime - musicOffset;
}

double GapMillisecondsOf(double musicOffset) {
  return std::nearbyint(-musicOffset * 1000);
}

} // namespace songData
