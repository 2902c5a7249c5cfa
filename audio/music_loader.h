#pragma once
// Music of any supported format into PCM, the whole file at once, on the GUI
// thread. MP3 goes to libmpg123, everything else to FFmpeg.
#include "audio/pcm_music.h"

#include <cstddef>
#include <functional>
#include <string>

namespace MusicLoader {

// 0 at the start of a decode, the fraction of the file consumed, 1 when done.
// Written by the decoders, read by their progress procedure on the same thread.
extern float DecodeProgress;

// The progress procedure runs each time about this much more input is consumed.
constexpr std::size_t ProgressStepBytes = 8192;

// True when the bytes begin like an MP3 file: an ID3v2 tag or an MPEG audio frame.
bool LooksLikeMp3(const std::string& head);

// Fills music with every frame of the file, choosing the decoder by the file's
// first bytes. Throws what the chosen decoder throws; music is left as it was.
void DecodeMusic(const std::string& path, const std::function<void()>& progress,
                 songData::TPcmMusic& music);

} // namespace MusicLoader
