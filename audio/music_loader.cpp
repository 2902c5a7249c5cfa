#include "audio/music_loader.h"

#include "audio/ffmpeg_decoder.h"
#include "audio/mp3_loader.h"

#include <fstream>

namespace MusicLoader {

float DecodeProgress = 0.0f;

bool LooksLikeMp3(const std::string& head) {
  if (head.size() >= 3 && head.compare(0, 3, "ID3") == 0) return true;
  if (head.size() < 3) return false;
  const auto b1 = static_cast<unsigned char>(head[1]);
  const auto b2 = static_cast<unsigned char>(head[2]);
  // Frame sync, a valid version and a layer: layer 0 is AAC in ADTS, which FFmpeg reads.
  const bool sync = static_cast<unsigned char>(head[0]) == 0xFF && (b1 & 0xE0) == 0xE0;
  const bool version = ((b1 >> 3) & 3) != 1;
  const bool layer = ((b1 >> 1) & 3) != 0;
  const bool bitRate = (b2 >> 4) != 0xF;
  const bool sampleRate = ((b2 >> 2) & 3) != 3;
  return sync && version && layer && bitRate && sampleRate;
}

void DecodeMusic(const std::string& path, const std::function<void()>& progress,
                 songData::TPcmMusic& music) {
  std::string head(4, '\0');
  std::ifstream file(path, std::ios::binary);
  file.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(file.gcount()));
  // A file that cannot be read goes on to FFmpeg's loader, which reports why.
  if (!LooksLikeMp3(head)) {
    DecodeWithFfmpeg(path, progress, music);
    return;
  }
  DecodeProgress = 0.0f;
  MP3Loader::DecodeMp3(
      path,
      [&progress] {
        DecodeProgress = MP3Loader::DecodeProgress;
        if (progress) progress();
      },
      music);
  DecodeProgress = 1.0f;
}

} // namespace MusicLoader
