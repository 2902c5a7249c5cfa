#include "cli/music_decoding.h"

#include "audio/music_loader.h"

#include <iostream>

namespace cli {

std::shared_ptr<const songData::TPcmMusic> DecodeMusicFile(const std::string& path) {
  songData::TPcmMusic music;
  const MusicLoader::TDecodeOutcome outcome =
      MusicLoader::DecodeMusic(path, MusicLoader::TDecodeOptions{}, music);
  if (!outcome.Notice.empty()) std::cerr << path << ": warning: " << outcome.Notice << '\n';
  return std::make_shared<const songData::TPcmMusic>(std::move(music));
}

} // namespace cli
