#include "audio/pcm_music.h"

namespace songData {

float MusicDuration(const TPcmMusic& music) {
  if (music.SampleRate <= 0) return 0.0f;
  return static_cast<float>(static_cast<double>(music.Samples.size()) /
                            (static_cast<double>(music.SampleRate) * Channels(music)));
}

float MusicDuration(const std::shared_ptr<const TPcmMusic>& music) {
  return music ? MusicDuration(*music) : 0.0f;
}

} // namespace songData
