#pragma once
// Decoded music: interleaved signed 16-bit samples at the file's own rate.
// The GUI thread replaces Music only while neither the player nor an analyser
// reads it; the player and the analysers read it in place.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace songData {

struct TPcmMusic {
  std::vector<std::int16_t> Samples; // stereo: left, right, left, right ...
  std::int32_t SampleRate = 0;
  bool Stereo = false;
};

extern TPcmMusic Music;

inline int Channels(const TPcmMusic& music) {
  return music.Stereo ? 2 : 1;
}
inline std::size_t Frames(const TPcmMusic& music) {
  return music.Samples.size() / static_cast<std::size_t>(Channels(music));
}
// Seconds; 0 for no music.
float MusicDuration(const TPcmMusic& music);

} // namespace songData
