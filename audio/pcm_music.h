#pragma once
// Decoded music: interleaved signed 16-bit samples at the file's own rate.
// Shared, never borrowed: the thread that decodes it fills it once, then the
// GUI thread, the player, the analysers and the pitch worker each hold a
// std::shared_ptr<const TPcmMusic> and only read it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace songData {

struct TPcmMusic {
  std::vector<std::int16_t> Samples; // stereo: left, right, left, right ...
  std::int32_t SampleRate = 0;
  bool Stereo = false;
};

inline int Channels(const TPcmMusic& music) {
  return music.Stereo ? 2 : 1;
}
inline std::size_t Frames(const TPcmMusic& music) {
  return music.Samples.size() / static_cast<std::size_t>(Channels(music));
}
// Seconds; 0 for no music.
float MusicDuration(const TPcmMusic& music);
float MusicDuration(const std::shared_ptr<const TPcmMusic>& music);

} // namespace songData
