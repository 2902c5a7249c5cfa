#pragma once
// MP3 music into PCM, the whole file at once, on the calling thread.
#include "audio/decode_options.h"
#include "audio/pcm_music.h"

#include <string>

namespace MP3Loader {

// Input is fed in pieces of this size; the progress procedure runs after each.
constexpr std::size_t DecodeChunkBytes = 8192;

// Fills music with every frame of the file at its own rate and channel count,
// cut at options.MostSeconds. Throws EError "Invalid MP3 file" for files shorter
// than 522 bytes or without a decodable frame, "Can't decode MP3: " with the
// decoder's reason otherwise, "The music is longer than ..." when the file's info
// frame tells a longer length, and the file error when it cannot be read or is
// larger than MostMusicFileBytes. On failure or cancel music is left as it was.
MusicLoader::TDecodeOutcome DecodeMp3(const std::string& path,
                                      const MusicLoader::TDecodeOptions& options,
                                      songData::TPcmMusic& music);

} // namespace MP3Loader
