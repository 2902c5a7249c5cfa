#pragma once
// Writing the song model in the song file format.
#include "song/song_model.h"

#include <string>
#include <vector>

namespace songData {

// Positions of Notes in the order the file lists them: the first voice's, then
// the second's, each by Start, and at equal starts a line break first, then
// freestyle, golden (and golden rap), normal (and rap).
std::vector<std::size_t> WriteOrder(const std::vector<TNote>& notes);

// Brings "#BPM", "#GAP" and "#VIDEOGAP" in Tags up to date and returns the file's
// bytes. A song with notes of the second voice lists each voice after its "P1" or
// "P2" line.
std::string SongFileText(TSong& song);

// Writes the song to SongDir/SongFileName. The first save after a load keeps the
// loaded file as ".bak": "NAME.bak" for "NAME.txt", or beside a NAME without
// ".txt". Throws EInOutError; the file on disk is then unchanged.
void SaveSong(TSong& song);
void SaveSong();

} // namespace songData
