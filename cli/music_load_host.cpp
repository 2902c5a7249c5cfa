#include "cli/music_load_host.h"

#include "cli/music_decoding.h"
#include "support/file_io.h"

namespace cli {

void TMusicLoadHost::LoadMusic(songData::TSong& song, const std::string& path) {
  Music = DecodeMusicFile(path);
  song.MusicLoaded = true;
  song.MusicFileName = MyServis::NameOfPath(path);
}

} // namespace cli
