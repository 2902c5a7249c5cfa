#include "audio/pcm_music.h"

namespace songData {

TPcmMusic Music;

float MusicDuration(const TPcmMusic& music) {
  if (music.SampleRate <= 0) return 0.0f;
  return static_cast<float>(static_cast<double>(music.Samples.size()) /
                            (static_cast<double>(music.SampleRate) * Channels(music)));
}

} // namespace songData
