#pragma once
// Writing the song model in the song file format.
#include "song/song_model.h"

#include <string>
#include <vector>

namespace songData {

// Positions of Notes in the order the file lists them: by Start, and at equal
// starts the greater Kind first (a line break before the notes).
std::vector<std::size_t> WriteOrder(const std::vector<TNote>& notes);

// Brings "#BPM", "#GAP" and "#VIDEOGAP" in Tags up to date and returns the file's bytes.
std::string SongFileText(TSong& song);

// Writes the song to SongDir/SongFileName. The first save after a load keeps the
// loaded file as ".bak". Throws EInOutError; the file on disk is then unchanged.
void SaveSong(TSong& song);
void SaveSong();

} // namespace songData
