#include "cli/music_load_host.h"

#include "audio/music_loader.h"
#include "support/file_io.h"

namespace cli {

void TMusicLoadHost::LoadMusic(songData::TSong& song, const std::string& path) {
  MusicLoader::DecodeMusic(path, nullptr, music_);
  song.MusicLoaded = true;
  song.MusicFileName = MyServis::NameOfPath(path);
}

} // namespace cli
