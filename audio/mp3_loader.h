#pragma once
// MP3 music into PCM, the whole file at once, on the GUI thread.
#include "audio/pcm_music.h"

#include <functional>
#include <string>

namespace MP3Loader {

// 0 at the start of a decode, the fraction of the file consumed, 1 when done.
// Written by DecodeMp3, read by its progress procedure on the same thread.
extern float DecodeProgress;

// Input is fed in pieces of this size; the progress procedure runs after each.
constexpr std::size_t DecodeChunkBytes = 8192;

// Fills music with every frame of the file at its own rate and channel count.
// Throws EError "Invalid MP3 file" for files shorter than 522 bytes or without a
// decodable frame, "Can't decode MP3: " with the decoder's reason otherwise, and
// the file error when it cannot be read. On failure music is left as it was.
void DecodeMp3(const std::string& path, const std::function<void()>& progress,
               songData::TPcmMusic& music);

} // namespace MP3Loader
