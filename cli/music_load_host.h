#pragma once
// The window's music step of a song load, without a window: the music the
// song names is decoded into music of the command's own.
#include "audio/pcm_music.h"
#include "song/song_loader.h"

namespace cli {

class TMusicLoadHost : public songData::TSongLoadHost {
public:
  explicit TMusicLoadHost(songData::TPcmMusic& music) : music_(music) {}
  void LoadMusic(songData::TSong& song, const std::string& path) override;

private:
  songData::TPcmMusic& music_;
};

} // namespace cli
