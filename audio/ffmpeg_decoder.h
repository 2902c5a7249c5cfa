#pragma once
// Music in the formats FFmpeg reads (Ogg Vorbis, Opus, AAC, FLAC, WAV ...) into PCM.
#include "audio/pcm_music.h"

#include <functional>
#include <string>

namespace MusicLoader {

// Fills music with every frame of the file at its own rate, mono or stereo;
// more channels are mixed down to stereo. Progress as for DecodeMusic.
// Throws EError "Can't decode music: " with the library's reason, and the file
// error when it cannot be read. On failure music is left as it was.
void DecodeWithFfmpeg(const std::string& path, const std::function<void()>& progress,
                      songData::TPcmMusic& music);

} // namespace MusicLoader
