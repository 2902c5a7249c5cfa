#pragma once
// Music in the formats FFmpeg reads (Ogg Vorbis, Opus, AAC, FLAC, WAV ...) into PCM.
#include "audio/decode_options.h"
#include "audio/pcm_music.h"

#include <string>

namespace MusicLoader {

// Fills music with every frame of the file at its own rate, mono or stereo,
// cut at options.MostSeconds; more channels are mixed down to stereo. Throws
// EError "Can't decode music: " with the library's reason, "The music is longer
// than ..." when the file tells a longer length, and the file error when it cannot
// be read or is larger than MostMusicFileBytes. On failure or cancel music is
// left as it was.
TDecodeOutcome DecodeWithFfmpeg(const std::string& path, const TDecodeOptions& options,
                                songData::TPcmMusic& music);

} // namespace MusicLoader
