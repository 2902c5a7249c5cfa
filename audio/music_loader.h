#pragma once
// Music of any supported format into PCM, the whole file at once, on the calling
// thread. MP3 goes to libmpg123, everything else to FFmpeg.
#include "audio/decode_options.h"
#include "audio/pcm_music.h"

#include <string>

namespace MusicLoader {

// True when the bytes begin like an MP3 file: an ID3v2 tag or an MPEG audio frame.
bool LooksLikeMp3(const std::string& head);

// Fills music with every frame of the file, choosing the decoder by the file's
// first bytes, cut at options.MostSeconds. Throws what the chosen decoder throws;
// on failure or cancel music is left as it was.
TDecodeOutcome DecodeMusic(const std::string& path, const TDecodeOptions& options,
                           songData::TPcmMusic& music);

} // namespace MusicLoader
