#pragma once
// The window's music step of a song load, without a window: the music the
// song names is decoded for the command.
#include "audio/pcm_music.h"
#include "song/song_loader.h"

#include <memory>

namespace cli {

class TMusicLoadHost : public songData::TSongLoadHost {
public:
  void LoadMusic(songData::TSong& song, const std::string& path) override;

  // Null until the song's music has loaded.
  std::shared_ptr<const songData::TPcmMusic> Music;
};

} // namespace cli
